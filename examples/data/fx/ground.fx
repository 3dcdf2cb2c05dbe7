float4x4 wvp : WorldViewProjection;
float time : Time;

vertexshader groundVS {
    void main() { gl_Position = POSITION * wvp; }
}

pixelshader groundPS {
    void main() { COLOR0 = vec4(0.2, 0.45 + 0.25 * sin(time * 6.0), 0.3, 1.0); }
}

technique Ground {
    pass P0 {
        VertexShader = compile vs_2_0 groundVS();
        PixelShader = compile ps_2_0 groundPS();
        CullMode = None;
    }
}
