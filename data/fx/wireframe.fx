// Fallback look: white lines, no pixel shader, no textures.
float4x4 worldViewProjection : WorldViewProjection;

vertexshader wireframeVS {
    void main() {
        gl_Position = POSITION * worldViewProjection;
    }
}

technique Wireframe {
    pass P0 {
        VertexShader = compile vs_1_1 wireframeVS();
        PixelShader = NULL;
        FillMode = Wireframe;
        CullMode = None;
    }
}
