float x = 1e99999;
vertexshader vs { void main() { gl_Position = POSITION; } }
technique T { pass { VertexShader = compile vs_2_0 vs(); } }
