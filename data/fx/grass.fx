// Grass tufts: alpha-tested blade sheets that sway in the wind, lit as if
// their normal pointed up (the tufts carry no normals).
shared float skyMood;
float4x4 worldViewProjection : WorldViewProjection;
float4x4 world : World;
float4 sun : Light0;
float time : Time;

texture bladeMap;
sampler2D bladeSampler = sampler_state {
    Texture = <bladeMap>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear; AddressU = Wrap; AddressV = Clamp;
};

glsl {
    vec3 Horizon() { return mix(vec3(0.68, 0.80, 0.88), vec3(0.98, 0.60, 0.36), skyMood); }
    vec3 SunColour() { return mix(vec3(0.88, 0.84, 0.76), vec3(1.0, 0.58, 0.30), skyMood); }
    vec3 Ambient() { return mix(vec3(0.26, 0.32, 0.40), vec3(0.30, 0.22, 0.27), skyMood); }
    float Fog(float viewDistance) {
        float d = max(viewDistance - 70.0, 0.0) / 260.0;
        return clamp(1.0 - exp(-d * d * 2.2), 0.0, 1.0);
    }
    // The blade tips (v = 0) move most; neighbouring tufts move alike.
    vec4 Swayed(vec4 position, float v) {
        float bend = (1.0 - v) * (1.0 - v);
        float gust = sin(time * 1.7 + position.x * 0.21 + position.z * 0.13)
                   + 0.5 * sin(time * 3.1 + position.x * 0.57 - position.z * 0.41);
        position.x += gust * 0.22 * bend;
        position.z += gust * 0.12 * bend;
        return position;
    }
}

vertexshader grassVS {
    out vec2 uv;
    out vec3 position;
    out vec3 up;
    void main() {
        vec4 swayed = Swayed(POSITION, TEXCOORD0.y);
        gl_Position = swayed * worldViewProjection;
        position = (swayed * world).xyz;
        up = (vec4(0.0, 1.0, 0.0, 0.0) * world).xyz;
        uv = TEXCOORD0.xy;
    }
}

pixelshader grassPS {
    in vec2 uv;
    in vec3 position;
    in vec3 up;
    void main() {
        vec4 blade = texture(bladeSampler, uv);
        // The cut-out (the device has no fixed alpha test).
        if (blade.a < 0.5)
            discard;
        vec3 toSun = sun.w != 0.0 ? normalize(sun.xyz - position) : normalize(vec3(0.3, 0.8, -0.5));
        // Darker at the roots, where the blades shade each other.
        float light = max(dot(normalize(up), toSun), 0.0) * (0.55 + 0.45 * (1.0 - uv.y));
        vec3 colour = blade.rgb * (Ambient() + SunColour() * light);
        COLOR0 = vec4(mix(colour, Horizon(), Fog(length(position))), blade.a);
    }
}

technique Grass {
    pass P0 {
        VertexShader = compile vs_2_0 grassVS();
        PixelShader = compile ps_2_0 grassPS();
        CullMode = None;
    }
}
