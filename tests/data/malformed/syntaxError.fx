float4 tint = {1, 2, 3, 4}
float x;
vertexshader vs { void main() { gl_Position = POSITION; } }
technique T { pass { VertexShader = compile vs_2_0 vs(); } }
