vertexshader vs { }
technique T { pass P { VertexShader = compile vs_2_0