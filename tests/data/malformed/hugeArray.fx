float4x4 bones[4000000000];
vertexshader vs { void main() { gl_Position = POSITION; } }
technique T { pass { VertexShader = compile vs_2_0 vs(); } }
