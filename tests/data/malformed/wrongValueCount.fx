float4x4 m = {1, 2, 3};
vertexshader vs { void main() { gl_Position = POSITION; } }
technique T { pass { VertexShader = compile vs_2_0 vs(); } }
