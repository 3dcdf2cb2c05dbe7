// One colour, lit by the scene's first lamp, fading with distance into the
// dark the picture is cleared with.
float4x4 worldViewProjection : WorldViewProjection;
float4x4 world : World;
float4 lamp : Light0;
float4 colour = {0.6, 0.6, 0.6, 1.0};
float3 haze = {0.0, 0.0, 0.0};

vertexshader litVS {
    out vec3 normal;
    out vec3 position;
    void main() {
        position = (POSITION * world).xyz;
        normal = (vec4(NORMAL.xyz, 0.0) * world).xyz;
        gl_Position = POSITION * worldViewProjection;
    }
}

pixelshader litPS {
    in vec3 normal;
    in vec3 position;
    void main() {
        vec3 toLamp = lamp.w != 0.0 ? normalize(lamp.xyz - position) : vec3(0.0, 1.0, 0.0);
        float diffuse = max(dot(normalize(normal), toLamp), 0.0);
        vec3 lit = colour.rgb * (0.25 + 0.75 * diffuse);
        float fog = clamp(length(position) / 90.0, 0.0, 1.0);
        COLOR0 = vec4(mix(lit, haze, fog), 1.0);
    }
}

technique Lit {
    pass P0 {
        VertexShader = compile vs_2_0 litVS();
        PixelShader = compile ps_2_0 litPS();
        CullMode = None;
    }
}
