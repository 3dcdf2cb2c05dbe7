// The Beast: skinned by up to four bones per vertex, a russet hide with darker
// stripes (noise looked up by the bind-pose position, so the pattern stays on
// the body while it walks), sun-lit with a soft rim and its mirror image.
shared float skyMood;
float4x4 world : World;
float4x4 viewProjection : ViewProjection;
float4x4 camera : Camera;
float4 sun : Light0;
float4x4 boneMatrices[40];
float stripeScale = 0.9;

texture noiseMap;
sampler2D noiseSampler = sampler_state {
    Texture = <noiseMap>; MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
};

glsl {
    vec3 Horizon() { return mix(vec3(0.68, 0.80, 0.88), vec3(0.98, 0.60, 0.36), skyMood); }
    vec3 SunColour() { return mix(vec3(0.88, 0.84, 0.76), vec3(1.0, 0.58, 0.30), skyMood); }
    vec3 Ambient() { return mix(vec3(0.26, 0.32, 0.40), vec3(0.30, 0.22, 0.27), skyMood); }
    float Fog(float viewDistance) {
        float d = max(viewDistance - 70.0, 0.0) / 260.0;
        return clamp(1.0 - exp(-d * d * 2.2), 0.0, 1.0);
    }
    // The weighted bone matrices; a mesh without animation data (all weights
    // or all matrices zero) stays in its bind pose.
    mat4 Skin(vec4 weights, vec4 bones) {
        mat4 skin = boneMatrices[int(bones.x)] * weights.x + boneMatrices[int(bones.y)] * weights.y
                  + boneMatrices[int(bones.z)] * weights.z + boneMatrices[int(bones.w)] * weights.w;
        return abs(skin[3][3]) < 1e-4 ? mat4(1.0) : skin;
    }
}

vertexshader beastVS {
    out vec3 normal;
    out vec3 position;
    out vec3 bind;
    out float height;
    out float viewDistance;
    void main() {
        mat4 skin = Skin(TEXCOORD1, TEXCOORD2);
        position = (POSITION * skin * world).xyz;
        normal = (vec4(NORMAL.xyz, 0.0) * skin * world).xyz;
        bind = POSITION.xyz;
        height = 1.0;
        viewDistance = length(position);
        gl_Position = vec4(position, 1.0) * viewProjection;
    }
}

vertexshader beastMirrorVS {
    out vec3 normal;
    out vec3 position;
    out vec3 bind;
    out float height;
    out float viewDistance;
    void main() {
        mat4 skin = Skin(TEXCOORD1, TEXCOORD2);
        position = (POSITION * skin * world).xyz;
        normal = (vec4(NORMAL.xyz, 0.0) * skin * world).xyz;
        bind = POSITION.xyz;
        vec4 scene = vec4(position, 1.0) * camera;
        height = scene.y;
        scene.y = -scene.y;
        vec4 mirrored = scene * inverse(camera);
        viewDistance = length(mirrored.xyz);
        gl_Position = mirrored * viewProjection;
    }
}

pixelshader beastPS {
    in vec3 normal;
    in vec3 position;
    in vec3 bind;
    in float height;
    in float viewDistance;
    void main() {
        if (height < 0.0)
            discard;
        vec3 n = normalize(normal);
        vec3 toSun = sun.w != 0.0 ? normalize(sun.xyz - position) : normalize(vec3(0.3, 0.8, -0.5));
        float stripes = texture(noiseSampler, vec2(bind.x * stripeScale * 0.25, bind.y * 0.08)).r;
        float mottle = texture(noiseSampler, bind.xz * stripeScale * 0.3 + bind.y * 0.1).b;
        vec3 hide = mix(vec3(0.55, 0.30, 0.16), vec3(0.22, 0.12, 0.08), smoothstep(0.5, 0.62, stripes));
        hide *= 0.8 + 0.4 * mottle;
        float diffuse = max(dot(n, toSun), 0.0);
        float rim = pow(1.0 - max(dot(n, normalize(-position)), 0.0), 3.0);
        vec3 colour = hide * (Ambient() + SunColour() * diffuse) + SunColour() * rim * 0.35;
        COLOR0 = vec4(mix(colour, Horizon(), Fog(viewDistance)), 1.0);
    }
}

technique Beast {
    pass P0 {
        VertexShader = compile vs_2_0 beastVS();
        PixelShader = compile ps_2_0 beastPS();
        CullMode = None;
    }
}

technique Mirror {
    pass P0 {
        VertexShader = compile vs_2_0 beastMirrorVS();
        PixelShader = compile ps_2_0 beastPS();
        CullMode = None;
    }
}
