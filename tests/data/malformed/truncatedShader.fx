float4x4 wvp : WorldViewProjection;
vertexshader vs {
  void main() {
    gl_Position = POSITION * wvp;
