// Stand-in looks for the scene file's meshes: one colour each, lit from a
// fixed direction so that shapes read. The show's own effects replace them.
float4x4 wvp : WorldViewProjection;
float4x4 world : World;
float skyMood;
float4x4 boneMatrices[16];

glsl {
    vec4 Lit(vec3 colour, vec3 normal) {
        vec3 toLight = normalize(vec3(-0.4, 0.8, -0.5));
        float diffuse = max(dot(normalize(normal), toLight), 0.0);
        return vec4(colour * (0.35 + 0.65 * diffuse), 1.0);
    }
}

pixelshader waterPS {
    in vec3 normal;
    void main() { COLOR0 = Lit(vec3(0.15, 0.3, 0.5), normal); }
}

pixelshader rockPS {
    in vec3 normal;
    void main() { COLOR0 = Lit(vec3(0.5, 0.48, 0.45), normal); }
}

pixelshader beastPS {
    in vec3 normal;
    void main() { COLOR0 = Lit(vec3(0.6, 0.35, 0.2), normal); }
}

vertexshader litVS {
    out vec3 normal;
    void main() {
        gl_Position = POSITION * wvp;
        normal = (vec4(NORMAL.xyz, 0.0) * world).xyz;
    }
}

// Up to four bones per vertex: weights in TEXCOORD1, indices in TEXCOORD2.
vertexshader skinnedVS {
    out vec3 normal;
    void main() {
        mat4 skin = boneMatrices[int(TEXCOORD2.x)] * TEXCOORD1.x +
                    boneMatrices[int(TEXCOORD2.y)] * TEXCOORD1.y +
                    boneMatrices[int(TEXCOORD2.z)] * TEXCOORD1.z +
                    boneMatrices[int(TEXCOORD2.w)] * TEXCOORD1.w;
        gl_Position = POSITION * skin * wvp;
        normal = (vec4(NORMAL.xyz, 0.0) * skin * world).xyz;
    }
}

// The dome lies beyond the far plane from most places: it is drawn at the
// far plane's depth instead, behind everything.
vertexshader skyVS {
    out float height;
    void main() {
        gl_Position = POSITION * wvp;
        gl_Position.z = gl_Position.w * 0.9999;
        height = 1.0 - TEXCOORD0.y;
    }
}

pixelshader skyPS {
    in float height;
    void main() {
        vec3 morning = mix(vec3(0.75, 0.85, 0.9), vec3(0.3, 0.5, 0.8), height);
        vec3 dusk = mix(vec3(1.0, 0.6, 0.3), vec3(0.35, 0.25, 0.45), height);
        COLOR0 = vec4(mix(morning, dusk, clamp(skyMood, 0.0, 1.0)), 1.0);
    }
}

technique Water {
    pass P0 {
        VertexShader = compile vs_2_0 litVS();
        PixelShader = compile ps_2_0 waterPS();
        CullMode = None;
    }
}

technique Rock {
    pass P0 {
        VertexShader = compile vs_2_0 litVS();
        PixelShader = compile ps_2_0 rockPS();
        CullMode = None;
    }
}

technique Beast {
    pass P0 {
        VertexShader = compile vs_2_0 skinnedVS();
        PixelShader = compile ps_2_0 beastPS();
        CullMode = None;
    }
}

technique Sky {
    pass P0 {
        VertexShader = compile vs_2_0 skyVS();
        PixelShader = compile ps_2_0 skyPS();
        CullMode = None;
        ZWriteEnable = false;
    }
}
