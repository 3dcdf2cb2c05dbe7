vertexshader vs { }
pixelshader ps { }
technique T { pass { VertexShader = compile vs_2_0 vs(); PixelShader = compile ps_5_0 ps(); } }
