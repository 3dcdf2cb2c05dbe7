// Lit, textured and skinned surface with a glow pass and a quad material.
shared float4x4 ViewProjection : ViewProjection;
float4x4 worldViewProjection : WorldViewProjection;
float4x4 world : World;
float time : Time;
float4 lightPosition : Light0;
float4x4 boneMatrices[40];

float4 tint < string UIName = "Tint"; > = {1.0, 0.5, 0.25, 1.0};
float3 fogColor = float3(0.2, 0.3, 0.4);
float2 offset = {-1, 0.5f};
float glowStrength < string UIName = "Glow"; float UIMin = 0; float UIMax = 4; > = 1.5;
int lightCount = 2;
bool useFog = true;
float4x4 texAdjust : TexAdj = {0.5, 0, 0, 0,  0, -0.5, 0, 0,  0, 0, 1, 0,  0.5, 0.5, 0, 1};

texture diffuseMap < string UIName = "Diffuse"; >;
textureCUBE environmentMap;

sampler2D diffuseSampler = sampler_state {
    Texture = <diffuseMap>;
    MinFilter = Linear;
    MagFilter = Linear;
    MipFilter = Linear;
    AddressU = Wrap;
    AddressV = Clamp;
};

samplerCUBE environmentSampler = sampler_state {
    Texture = (environmentMap);
    MinFilter = Anisotropic;
    MaxAnisotropy = 8;
    AddressU = Clamp; AddressV = Clamp; AddressW = Mirror;
};

glsl {
    vec3 Fog(vec3 colour, float depth) {
        return useFog ? mix(colour, fogColor, clamp(depth / 100.0, 0.0, 1.0)) : colour;
    }
}

vertexshader skinnedVS {
    out vec2 uv;
    out vec3 normal;
    out float depth;
    void main() {
        mat4 skin = boneMatrices[int(TEXCOORD2.x)] * TEXCOORD1.x
                  + boneMatrices[int(TEXCOORD2.y)] * TEXCOORD1.y;
        vec4 position = POSITION * skin;
        gl_Position = position * worldViewProjection;
        normal = (vec4(NORMAL.xyz, 0.0) * skin * world).xyz;
        uv = TEXCOORD0.xy + offset * time;
        depth = gl_Position.w;
    }
}

pixelshader litPS {
    in vec2 uv;
    in vec3 normal;
    in float depth;
    void main() {
        vec3 light = normalize(lightPosition.xyz);
        float diffuse = max(dot(normalize(normal), light), 0.0) * float(lightCount) * 0.5;
        vec4 colour = texture(diffuseSampler, uv) * tint * diffuse;
        COLOR0 = vec4(Fog(colour.rgb, depth), colour.a);
    }
}

pixelshader glowPS {
    in vec2 uv;
    in vec3 normal;
    in float depth;
    void main() {
        COLOR0 = texture(environmentSampler, normal) * glowStrength;
    }
}

technique Lit < string UIName = "Lit surface"; > {
    pass Base {
        VertexShader = compile vs_2_0 skinnedVS();
        PixelShader = compile ps_2_0 litPS();
        ZFunc = LessEqual;
        CullMode = None;
        AlphaTestEnable = true;
        AlphaRef = 0x80;
        AlphaFunc = Greater;
    }
    pass Glow {
        VertexShader = compile vs_3_0 skinnedVS();
        PixelShader = compile ps_3_0 glowPS();
        ZWriteEnable = false;
        AlphaBlendEnable = true;
        SrcBlend = SrcAlpha;
        DestBlend = One;
        BlendOp = Add;
        ColorWriteEnable = Red | Green | Blue;
    }
}

technique Blur < bool quad = true; string material = "blur"; > {
    pass {
        VertexShader = compile vs_1_1 skinnedVS();
        PixelShader = compile ps_1_4 litPS();
        ZEnable = false;
        FillMode = Wireframe;
    }
}

technique Plain {
    pass {
        VertexShader = compile vs_1_1 skinnedVS();
        PixelShader = NULL;
    }
}
