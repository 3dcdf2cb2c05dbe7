vertexshader vs { }
technique T < bool quad = true; string material = "bl