// Leaf clusters: alpha-tested cards seen from both sides. They carry no
// normals; each card is shaded by its own facing, taken from the screen-space
// slopes of its position, with a little light shining through.
shared float skyMood;
float4x4 worldViewProjection : WorldViewProjection;
float4x4 world : World;
float4x4 viewProjection : ViewProjection;
float4x4 camera : Camera;
float4 sun : Light0;
float time : Time;

texture leafMap;
sampler2D leafSampler = sampler_state {
    Texture = <leafMap>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear; AddressU = Clamp; AddressV = Clamp;
};

glsl {
    vec3 Horizon() { return mix(vec3(0.68, 0.80, 0.88), vec3(0.98, 0.60, 0.36), skyMood); }
    vec3 SunColour() { return mix(vec3(0.88, 0.84, 0.76), vec3(1.0, 0.58, 0.30), skyMood); }
    vec3 Ambient() { return mix(vec3(0.26, 0.32, 0.40), vec3(0.30, 0.22, 0.27), skyMood); }
    float Fog(float viewDistance) {
        float d = max(viewDistance - 70.0, 0.0) / 260.0;
        return clamp(1.0 - exp(-d * d * 2.2), 0.0, 1.0);
    }
    // Leaves flutter a little, each cluster on its own phase.
    vec4 Flutter(vec4 position) {
        float phase = position.x * 1.3 + position.y * 0.7 + position.z * 1.1;
        position.xyz += vec3(sin(time * 2.3 + phase), sin(time * 3.7 + phase * 1.7), cos(time * 2.9 + phase)) * 0.04;
        return position;
    }
}

vertexshader leafVS {
    out vec2 uv;
    out vec3 position;
    out float height;
    out float viewDistance;
    void main() {
        vec4 moved = Flutter(POSITION);
        gl_Position = moved * worldViewProjection;
        position = (moved * world).xyz;
        uv = TEXCOORD0.xy;
        height = 1.0;
        viewDistance = length(position);
    }
}

vertexshader leafMirrorVS {
    out vec2 uv;
    out vec3 position;
    out float height;
    out float viewDistance;
    void main() {
        position = (Flutter(POSITION) * world).xyz;
        vec4 scene = vec4(position, 1.0) * camera;
        height = scene.y;
        scene.y = -scene.y;
        vec4 mirrored = scene * inverse(camera);
        gl_Position = mirrored * viewProjection;
        viewDistance = length(mirrored.xyz);
        uv = TEXCOORD0.xy;
    }
}

pixelshader leafPS {
    in vec2 uv;
    in vec3 position;
    in float height;
    in float viewDistance;
    void main() {
        if (height < 0.0)
            discard;
        vec4 leaf = texture(leafSampler, uv);
        // The cut-out (the device has no fixed alpha test).
        if (leaf.a < 0.5)
            discard;
        vec3 normal = normalize(cross(dFdx(position), dFdy(position)));
        vec3 toSun = sun.w != 0.0 ? normalize(sun.xyz - position) : normalize(vec3(0.3, 0.8, -0.5));
        float facing = abs(dot(normal, toSun));
        vec3 colour = leaf.rgb * (Ambient() * 1.1 + SunColour() * (0.25 + 0.75 * facing));
        COLOR0 = vec4(mix(colour, Horizon(), Fog(viewDistance)), leaf.a);
    }
}

technique Leaf {
    pass P0 {
        VertexShader = compile vs_2_0 leafVS();
        PixelShader = compile ps_2_0 leafPS();
        CullMode = CCW;
    }
}

technique Mirror {
    pass P0 {
        VertexShader = compile vs_2_0 leafMirrorVS();
        PixelShader = compile ps_2_0 leafPS();
        CullMode = CCW;
    }
}
