// The turning shape the program shows until the show's scene is in place.
float4x4 wvp : WorldViewProjection;
float4x4 world : World;
float4 tint;

vertexshader shapeVS {
    out vec3 normal;
    void main() {
        gl_Position = POSITION * wvp;
        normal = (vec4(NORMAL.xyz, 0.0) * world).xyz;
    }
}

pixelshader shapePS {
    in vec3 normal;
    void main() {
        vec3 toLight = normalize(vec3(-0.4, 0.6, -0.7));
        float diffuse = max(dot(normalize(normal), toLight), 0.0);
        COLOR0 = vec4(tint.rgb * (0.2 + 0.8 * diffuse), 1.0);
    }
}

technique Shape {
    pass P0 {
        VertexShader = compile vs_2_0 shapeVS();
        PixelShader = compile ps_2_0 shapePS();
        CullMode = None;
    }
}
