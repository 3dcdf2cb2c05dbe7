// Ground: sand, grass and rock blended by the per-vertex weights (carried in
// the tangent stream), lit by the sun and fogged toward the sky's horizon.
shared float skyMood;
float4x4 worldViewProjection : WorldViewProjection;
float4x4 world : World;
float4x4 viewProjection : ViewProjection;
float4x4 camera : Camera;
float4 sun : Light0;

texture sandMap;
texture grassMap;
texture rockMap;
texture noiseMap;

sampler2D sandSampler = sampler_state {
    Texture = <sandMap>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
};
sampler2D grassSampler = sampler_state {
    Texture = <grassMap>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
};
sampler2D rockSampler = sampler_state {
    Texture = <rockMap>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
};
sampler2D noiseSampler = sampler_state {
    Texture = <noiseMap>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
};

glsl {
    vec3 Horizon() { return mix(vec3(0.68, 0.80, 0.88), vec3(0.98, 0.60, 0.36), skyMood); }
    vec3 SunColour() { return mix(vec3(0.88, 0.84, 0.76), vec3(1.0, 0.58, 0.30), skyMood); }
    vec3 Ambient() { return mix(vec3(0.26, 0.32, 0.40), vec3(0.30, 0.22, 0.27), skyMood); }
    // Without a lamp the light comes from above and behind the viewer.
    vec3 ToSun(vec3 position) {
        return sun.w != 0.0 ? normalize(sun.xyz - position) : normalize(vec3(0.3, 0.8, -0.5));
    }
    float Fog(float viewDistance) {
        float d = max(viewDistance - 70.0, 0.0) / 260.0;
        return clamp(1.0 - exp(-d * d * 2.2), 0.0, 1.0);
    }
}

vertexshader terrainVS {
    out vec2 uv;
    out vec3 weights;
    out vec3 normal;
    out vec3 position;
    void main() {
        gl_Position = POSITION * worldViewProjection;
        position = (POSITION * world).xyz;
        normal = (vec4(NORMAL.xyz, 0.0) * world).xyz;
        uv = TEXCOORD0.xy;
        weights = TANGENT.xyz;
    }
}

// Drawn into the water's reflection: mirrored about the water plane y = 0,
// keeping only what lies above it.
vertexshader terrainMirrorVS {
    out vec2 uv;
    out vec3 weights;
    out vec3 normal;
    out vec3 position;
    out float height;
    out float viewDistance;
    void main() {
        // Lit where it stands, seen where its mirror image stands.
        position = (POSITION * world).xyz;
        normal = (vec4(NORMAL.xyz, 0.0) * world).xyz;
        vec4 scene = vec4(position, 1.0) * camera;
        height = scene.y;
        scene.y = -scene.y;
        vec4 mirrored = scene * inverse(camera);
        gl_Position = mirrored * viewProjection;
        viewDistance = length(mirrored.xyz);
        uv = TEXCOORD0.xy;
        weights = TANGENT.xyz;
    }
}

glsl {
    vec3 Lit(vec3 albedo, vec3 n, vec3 position, float viewDistance) {
        float diffuse = max(dot(n, ToSun(position)), 0.0);
        vec3 colour = albedo * (Ambient() + SunColour() * diffuse);
        return mix(colour, Horizon(), Fog(viewDistance));
    }
    // Weights sharpened by the noise, so borders between materials are ragged.
    vec3 Blend(vec3 w, float noise) {
        vec3 sharp = max(w + (vec3(noise, 1.0 - noise, noise) - 0.5) * 0.6 * (1.0 - w * w), 0.0);
        sharp = pow(sharp, vec3(2.0));
        return sharp / max(sharp.x + sharp.y + sharp.z, 1e-4);
    }
}

pixelshader terrainPS {
    in vec2 uv;
    in vec3 weights;
    in vec3 normal;
    in vec3 position;
    void main() {
        vec4 macro = texture(noiseSampler, uv * 0.031);
        vec3 w = Blend(weights, macro.r);
        vec3 albedo = texture(sandSampler, uv).rgb * w.x
                    + texture(grassSampler, uv * 0.8).rgb * w.y
                    + texture(rockSampler, uv * 0.6).rgb * w.z;
        // Large, slow brightness changes hide the tiling.
        albedo *= 0.8 + 0.45 * macro.g;
        COLOR0 = vec4(Lit(albedo, normalize(normal), position, length(position)), 1.0);
    }
}

pixelshader terrainMirrorPS {
    in vec2 uv;
    in vec3 weights;
    in vec3 normal;
    in vec3 position;
    in float height;
    in float viewDistance;
    void main() {
        if (height < 0.0)
            discard;
        vec3 w = weights / max(weights.x + weights.y + weights.z, 1e-4);
        vec3 albedo = texture(sandSampler, uv).rgb * w.x + texture(grassSampler, uv).rgb * w.y
                    + texture(rockSampler, uv).rgb * w.z;
        COLOR0 = vec4(Lit(albedo, normalize(normal), position, viewDistance), 1.0);
    }
}

// The fallback: the plain weighted blend.
pixelshader terrainSimplePS {
    in vec2 uv;
    in vec3 weights;
    in vec3 normal;
    in vec3 position;
    void main() {
        vec3 albedo = texture(sandSampler, uv).rgb * weights.x
                    + texture(grassSampler, uv).rgb * weights.y
                    + texture(rockSampler, uv).rgb * weights.z;
        COLOR0 = vec4(Lit(albedo, normalize(normal), position, length(position)), 1.0);
    }
}

technique Terrain30 {
    pass P0 {
        VertexShader = compile vs_3_0 terrainVS();
        PixelShader = compile ps_3_0 terrainPS();
        CullMode = None;
    }
}

technique Mirror {
    pass P0 {
        VertexShader = compile vs_2_0 terrainMirrorVS();
        PixelShader = compile ps_2_0 terrainMirrorPS();
        CullMode = None;
    }
}

technique Terrain20 {
    pass P0 {
        VertexShader = compile vs_2_0 terrainVS();
        PixelShader = compile ps_2_0 terrainSimplePS();
        CullMode = None;
    }
}
