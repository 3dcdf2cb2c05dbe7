// The lake: the mirrored scene ("waterReflect256", drawn by the objects' mirror
// passes) looked up at this pixel's place on the screen, pushed about by two
// moving layers of the wave normal map, mixed with the water's own colour by
// a Fresnel term, plus the sun's glitter.
shared float skyMood;
float4x4 worldViewProjection : WorldViewProjection;
float4x4 world : World;
float4x4 camera : Camera;
float4 sun : Light0;
float time : Time;
float waveScale = 0.045;
float ripple = 0.035;

texture reflection;
texture normalMap;
sampler2D reflectionSampler = sampler_state {
    Texture = <reflection>; MinFilter = Linear; MagFilter = Linear; AddressU = Clamp; AddressV = Clamp;
};
sampler2D normalSampler = sampler_state {
    Texture = <normalMap>; MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
};

glsl {
    vec3 Horizon() { return mix(vec3(0.68, 0.80, 0.88), vec3(0.98, 0.60, 0.36), skyMood); }
    vec3 SunColour() { return mix(vec3(0.88, 0.84, 0.76), vec3(1.0, 0.58, 0.30), skyMood); }
    float Fog(float viewDistance) {
        float d = max(viewDistance - 70.0, 0.0) / 260.0;
        return clamp(1.0 - exp(-d * d * 2.2), 0.0, 1.0);
    }
}

vertexshader waterVS {
    out vec4 clip;
    out vec3 scene;
    out vec3 position;
    void main() {
        gl_Position = POSITION * worldViewProjection;
        clip = gl_Position;
        position = (POSITION * world).xyz;
        scene = (vec4(position, 1.0) * camera).xyz;
    }
}

glsl {
    // Wave normal in scene space (y up), from two layers drifting apart.
    vec3 Waves(vec2 at, float amount) {
        vec3 a = texture(normalSampler, at * waveScale + vec2(time * 0.011, time * 0.007)).rgb;
        vec3 b = texture(normalSampler, at * waveScale * 1.9 - vec2(time * 0.009, time * -0.013)).rgb;
        vec3 n = (a + b) - 1.0;
        return normalize(vec3(n.x * amount, n.z, n.y * amount));
    }
    vec3 Water(vec3 normal, vec3 reflected, vec3 toEye, vec3 toSun, float viewDistance) {
        float cosine = max(dot(normal, toEye), 0.0);
        float fresnel = 0.04 + 0.96 * pow(1.0 - cosine, 5.0);
        vec3 deep = mix(vec3(0.03, 0.12, 0.15), vec3(0.10, 0.06, 0.08), skyMood);
        vec3 colour = mix(deep, reflected, clamp(0.35 + fresnel, 0.0, 1.0));
        float glitter = pow(max(dot(reflect(-toSun, normal), toEye), 0.0), 180.0);
        colour += SunColour() * glitter * 2.5;
        return mix(colour, Horizon(), Fog(viewDistance) * 0.85);
    }
}

pixelshader waterPS {
    in vec4 clip;
    in vec3 scene;
    in vec3 position;
    void main() {
        vec3 eye = (vec4(0.0, 0.0, 0.0, 1.0) * camera).xyz;
        vec3 sunScene = (vec4(sun.xyz, 1.0) * camera).xyz;
        vec3 toSun = sun.w != 0.0 ? normalize(sunScene - scene) : normalize(vec3(0.4, 0.35, 0.8));
        vec3 normal = Waves(scene.xz, 1.0);
        vec2 screen = clip.xy / clip.w * vec2(0.5, -0.5) + 0.5;
        vec3 reflected = texture(reflectionSampler, screen + normal.xz * ripple).rgb;
        COLOR0 = vec4(Water(normal, reflected, normalize(eye - scene), toSun, length(position)), 1.0);
    }
}

// The fallback: one wave layer less and no glitter.
pixelshader waterSimplePS {
    in vec4 clip;
    in vec3 scene;
    in vec3 position;
    void main() {
        vec3 eye = (vec4(0.0, 0.0, 0.0, 1.0) * camera).xyz;
        vec3 n = texture(normalSampler, scene.xz * waveScale + vec2(time * 0.011, time * 0.007)).rgb * 2.0 - 1.0;
        vec3 normal = normalize(vec3(n.x, n.z, n.y));
        vec2 screen = clip.xy / clip.w * vec2(0.5, -0.5) + 0.5;
        vec3 reflected = texture(reflectionSampler, screen + normal.xz * ripple).rgb;
        float cosine = max(dot(normal, normalize(eye - scene)), 0.0);
        vec3 deep = mix(vec3(0.03, 0.12, 0.15), vec3(0.10, 0.06, 0.08), skyMood);
        vec3 colour = mix(deep, reflected, 0.4 + 0.6 * pow(1.0 - cosine, 3.0));
        COLOR0 = vec4(mix(colour, Horizon(), Fog(length(position)) * 0.85), 1.0);
    }
}

technique Water30 {
    pass P0 {
        VertexShader = compile vs_3_0 waterVS();
        PixelShader = compile ps_3_0 waterPS();
        CullMode = None;
    }
}

technique Water20 {
    pass P0 {
        VertexShader = compile vs_2_0 waterVS();
        PixelShader = compile ps_2_0 waterSimplePS();
        CullMode = None;
    }
}
