vertexshader vs { }
technique T { pass { VertexShader = compile vs_2_0 vs(); StencilEnable = true; } }
