/* a comment that never ends
float x;
vertexshader vs { void main() { gl_Position = POSITION; } }
technique T { pass { VertexShader = compile vs_2_0 vs(); } }
