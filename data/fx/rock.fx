// Boulders: rock texture projected along the three axes of the rock's own
// space (so it needs no texture coordinates), sun-lit, fogged, mirrored.
shared float skyMood;
float4x4 world : World;
float4x4 viewProjection : ViewProjection;
float4x4 camera : Camera;
float4 sun : Light0;
float textureScale = 0.25;

texture rockMap;
sampler2D rockSampler = sampler_state {
    Texture = <rockMap>;
    MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
};

glsl {
    vec3 Horizon() { return mix(vec3(0.68, 0.80, 0.88), vec3(0.98, 0.60, 0.36), skyMood); }
    vec3 SunColour() { return mix(vec3(0.88, 0.84, 0.76), vec3(1.0, 0.58, 0.30), skyMood); }
    vec3 Ambient() { return mix(vec3(0.26, 0.32, 0.40), vec3(0.30, 0.22, 0.27), skyMood); }
    float Fog(float viewDistance) {
        float d = max(viewDistance - 70.0, 0.0) / 260.0;
        return clamp(1.0 - exp(-d * d * 2.2), 0.0, 1.0);
    }
}

vertexshader rockVS {
    out vec3 normal;
    out vec3 position;
    out vec3 local;
    out vec3 localNormal;
    out float height;
    out float viewDistance;
    void main() {
        position = (POSITION * world).xyz;
        normal = (vec4(NORMAL.xyz, 0.0) * world).xyz;
        local = POSITION.xyz;
        localNormal = NORMAL.xyz;
        height = 1.0;
        viewDistance = length(position);
        gl_Position = vec4(position, 1.0) * viewProjection;
    }
}

vertexshader rockMirrorVS {
    out vec3 normal;
    out vec3 position;
    out vec3 local;
    out vec3 localNormal;
    out float height;
    out float viewDistance;
    void main() {
        position = (POSITION * world).xyz;
        normal = (vec4(NORMAL.xyz, 0.0) * world).xyz;
        local = POSITION.xyz;
        localNormal = NORMAL.xyz;
        vec4 scene = vec4(position, 1.0) * camera;
        height = scene.y;
        scene.y = -scene.y;
        vec4 mirrored = scene * inverse(camera);
        viewDistance = length(mirrored.xyz);
        gl_Position = mirrored * viewProjection;
    }
}

pixelshader rockPS {
    in vec3 normal;
    in vec3 position;
    in vec3 local;
    in vec3 localNormal;
    in float height;
    in float viewDistance;
    void main() {
        if (height < 0.0)
            discard;
        vec3 w = pow(abs(normalize(localNormal)), vec3(4.0));
        w /= w.x + w.y + w.z;
        vec3 albedo = texture(rockSampler, local.zy * textureScale).rgb * w.x
                    + texture(rockSampler, local.xz * textureScale).rgb * w.y
                    + texture(rockSampler, local.xy * textureScale).rgb * w.z;
        vec3 toSun = sun.w != 0.0 ? normalize(sun.xyz - position) : normalize(vec3(0.3, 0.8, -0.5));
        float diffuse = max(dot(normalize(normal), toSun), 0.0);
        vec3 colour = albedo * (Ambient() + SunColour() * diffuse);
        COLOR0 = vec4(mix(colour, Horizon(), Fog(viewDistance)), 1.0);
    }
}

technique Rock {
    pass P0 {
        VertexShader = compile vs_2_0 rockVS();
        PixelShader = compile ps_2_0 rockPS();
        CullMode = None;
    }
}

technique Mirror {
    pass P0 {
        VertexShader = compile vs_2_0 rockMirrorVS();
        PixelShader = compile ps_2_0 rockPS();
        CullMode = None;
    }
}
