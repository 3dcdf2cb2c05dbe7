// The sky: the morning sky texture seen by direction, recoloured toward dusk
// by "skyMood" (0 morning, 1 dusk), with drifting clouds and a glow around
// the sun. "skyMood" is shared, so every other effect follows the same mood.
shared float skyMood;
float4x4 world : World;
float4x4 viewProjection : ViewProjection;
float4x4 camera : Camera;
float4 sun : Light0;
float time : Time;

texture skyMap;
texture noiseMap;
sampler2D skySampler = sampler_state {
    Texture = <skyMap>; MinFilter = Linear; MagFilter = Linear; AddressU = Wrap; AddressV = Clamp;
};
sampler2D noiseSampler = sampler_state {
    Texture = <noiseMap>; MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
};

glsl {
    vec3 Horizon() { return mix(vec3(0.68, 0.80, 0.88), vec3(0.98, 0.60, 0.36), skyMood); }
    vec3 SunColour() { return mix(vec3(0.88, 0.84, 0.76), vec3(1.0, 0.58, 0.30), skyMood); }
    const float kPi = 3.14159265;

    // Colour of the sky in scene direction `dir`; `toSun` in scene space.
    vec3 Sky(vec3 dir, vec3 toSun, bool detailed) {
        float elevation = max(dir.y, 0.0);
        vec2 uv = vec2(atan(dir.z, dir.x) / (2.0 * kPi), 1.0 - sqrt(elevation));
        vec3 morning = texture(skySampler, uv).rgb;
        float lum = dot(morning, vec3(0.3, 0.59, 0.11));
        vec3 zenithDusk = vec3(0.16, 0.14, 0.36);
        vec3 dusk = mix(Horizon(), zenithDusk, pow(elevation, 0.6)) * (0.55 + 0.6 * lum);
        vec3 colour = mix(morning, dusk, skyMood);
        if (detailed) {
            vec2 plane = dir.xz / max(dir.y, 0.06) * 0.22 + vec2(time * 0.0045, time * 0.002);
            float cloud = texture(noiseSampler, plane).r * 0.65 + texture(noiseSampler, plane * 2.7).g * 0.35;
            float cover = smoothstep(0.5, 0.78, cloud) * smoothstep(0.02, 0.25, dir.y);
            vec3 cloudColour = mix(vec3(1.0, 1.0, 1.02), vec3(1.0, 0.62, 0.45), skyMood);
            colour = mix(colour, cloudColour * (0.75 + 0.35 * cloud), cover * 0.75);
        }
        float toward = max(dot(dir, toSun), 0.0);
        colour += SunColour() * (pow(toward, 12.0) * (0.15 + 0.35 * skyMood) + pow(toward, 300.0) * 0.8
                                 + smoothstep(0.9985, 0.9993, toward) * 1.5);
        return colour;
    }

    vec3 SunDirection(vec3 eye) {
        vec3 sunScene = (vec4(sun.xyz, 1.0) * camera).xyz;
        return sun.w != 0.0 ? normalize(sunScene - eye) : normalize(vec3(0.4, 0.35, 0.8));
    }
}

vertexshader skyVS {
    out vec3 dir;
    out float height;
    void main() {
        vec4 scene = (POSITION * world) * camera;
        vec3 eye = (vec4(0.0, 0.0, 0.0, 1.0) * camera).xyz;
        dir = scene.xyz - eye;
        height = 1.0;
        gl_Position = POSITION * world * viewProjection;
        // Always behind everything, never beyond the far plane.
        gl_Position.z = gl_Position.w * 0.99999;
    }
}

// Seen in the water: the direction mirrored about the water plane.
vertexshader skyMirrorVS {
    out vec3 dir;
    out float height;
    void main() {
        vec4 scene = (POSITION * world) * camera;
        vec3 eye = (vec4(0.0, 0.0, 0.0, 1.0) * camera).xyz;
        dir = scene.xyz - eye;
        height = scene.y - eye.y;
        vec3 mirroredEye = vec3(eye.x, -eye.y, eye.z);
        vec4 mirrored = vec4(mirroredEye + vec3(dir.x, -dir.y, dir.z), 1.0);
        gl_Position = (mirrored * inverse(camera)) * viewProjection;
        gl_Position.z = gl_Position.w * 0.99999;
    }
}

pixelshader skyPS {
    in vec3 dir;
    in float height;
    void main() {
        vec3 eye = (vec4(0.0, 0.0, 0.0, 1.0) * camera).xyz;
        vec3 d = normalize(dir);
        COLOR0 = vec4(Sky(d, SunDirection(eye), true), 1.0);
    }
}

pixelshader skySimplePS {
    in vec3 dir;
    in float height;
    void main() {
        vec3 eye = (vec4(0.0, 0.0, 0.0, 1.0) * camera).xyz;
        COLOR0 = vec4(Sky(normalize(dir), SunDirection(eye), false), 1.0);
    }
}

technique Sky30 {
    pass P0 {
        VertexShader = compile vs_3_0 skyVS();
        PixelShader = compile ps_3_0 skyPS();
        CullMode = None;
        ZWriteEnable = false;
    }
}

technique Sky20 {
    pass P0 {
        VertexShader = compile vs_2_0 skyVS();
        PixelShader = compile ps_2_0 skySimplePS();
        CullMode = None;
        ZWriteEnable = false;
    }
}

technique Mirror {
    pass P0 {
        VertexShader = compile vs_2_0 skyMirrorVS();
        PixelShader = compile ps_2_0 skySimplePS();
        CullMode = None;
        ZWriteEnable = false;
    }
}
