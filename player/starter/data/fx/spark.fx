// The spark's ribbon: quads in the colour the emitter gives them, added
// onto the picture.
float4x4 worldViewProjection : WorldViewProjection;

vertexshader ribbonVS {
    out vec4 colour;
    void main() {
        gl_Position = POSITION * worldViewProjection;
        colour = TEXCOORD0;
    }
}

pixelshader ribbonPS {
    in vec4 colour;
    void main() { COLOR0 = vec4(colour.rgb * colour.a, 1.0); }
}

technique Ribbon {
    pass P0 {
        VertexShader = compile vs_2_0 ribbonVS();
        PixelShader = compile ps_2_0 ribbonPS();
        CullMode = None;
        ZWriteEnable = false;
        AlphaBlendEnable = true;
        SrcBlend = One;
        DestBlend = One;
    }
}
