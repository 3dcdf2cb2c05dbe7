float4x4 wvp : WorldViewProjection;
vertexshader vs { }
