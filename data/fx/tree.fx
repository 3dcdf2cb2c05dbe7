// Tree trunks and branches: bark lit by the sun, fogged, with its mirror
// image for the water.
shared float skyMood;
float4x4 worldViewProjection : WorldViewProjection;
float4x4 world : World;
float4x4 viewProjection : ViewProjection;
float4x4 camera : Camera;
float4 sun : Light0;

texture barkMap;
sampler2D barkSampler = sampler_state {
    Texture = <barkMap>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
};

glsl {
    vec3 Horizon() { return mix(vec3(0.68, 0.80, 0.88), vec3(0.98, 0.60, 0.36), skyMood); }
    vec3 SunColour() { return mix(vec3(0.88, 0.84, 0.76), vec3(1.0, 0.58, 0.30), skyMood); }
    vec3 Ambient() { return mix(vec3(0.26, 0.32, 0.40), vec3(0.30, 0.22, 0.27), skyMood); }
    float Fog(float viewDistance) {
        float d = max(viewDistance - 70.0, 0.0) / 260.0;
        return clamp(1.0 - exp(-d * d * 2.2), 0.0, 1.0);
    }
    vec3 Bark(vec2 uv, vec3 normal, vec3 position, float viewDistance) {
        vec3 toSun = sun.w != 0.0 ? normalize(sun.xyz - position) : normalize(vec3(0.3, 0.8, -0.5));
        float diffuse = max(dot(normalize(normal), toSun), 0.0);
        vec3 colour = texture(barkSampler, uv).rgb * (Ambient() + SunColour() * diffuse);
        return mix(colour, Horizon(), Fog(viewDistance));
    }
}

vertexshader barkVS {
    out vec2 uv;
    out vec3 normal;
    out vec3 position;
    out float height;
    out float viewDistance;
    void main() {
        gl_Position = POSITION * worldViewProjection;
        position = (POSITION * world).xyz;
        normal = (vec4(NORMAL.xyz, 0.0) * world).xyz;
        uv = TEXCOORD0.xy;
        height = 1.0;
        viewDistance = length(position);
    }
}

// Lit where it stands, seen where its image about y = 0 stands.
vertexshader barkMirrorVS {
    out vec2 uv;
    out vec3 normal;
    out vec3 position;
    out float height;
    out float viewDistance;
    void main() {
        position = (POSITION * world).xyz;
        normal = (vec4(NORMAL.xyz, 0.0) * world).xyz;
        vec4 scene = vec4(position, 1.0) * camera;
        height = scene.y;
        scene.y = -scene.y;
        vec4 mirrored = scene * inverse(camera);
        gl_Position = mirrored * viewProjection;
        viewDistance = length(mirrored.xyz);
        uv = TEXCOORD0.xy;
    }
}

pixelshader barkPS {
    in vec2 uv;
    in vec3 normal;
    in vec3 position;
    in float height;
    in float viewDistance;
    void main() {
        if (height < 0.0)
            discard;
        COLOR0 = vec4(Bark(uv, normal, position, viewDistance), 1.0);
    }
}

technique Bark {
    pass P0 {
        VertexShader = compile vs_2_0 barkVS();
        PixelShader = compile ps_2_0 barkPS();
    }
}

technique Mirror {
    pass P0 {
        VertexShader = compile vs_2_0 barkMirrorVS();
        PixelShader = compile ps_2_0 barkPS();
        CullMode = None;
    }
}
