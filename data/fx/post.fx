// Screen-quad passes of the post-processing chain: bright parts, separable
// blurs through the reduced targets, the distorted copy and the composition.
shared float skyMood;
float time : Time;
float2 direction = {0.004, 0.0};
float threshold = 0.85;
float glowStrength = 1.0;

texture source;
texture frame;
texture distorted;
texture glow256;
texture glow64;
texture glow16;
texture noiseMap;

sampler2D sourceSampler = sampler_state {
    Texture = <source>; MinFilter = Linear; MagFilter = Linear; AddressU = Clamp; AddressV = Clamp;
};
sampler2D frameSampler = sampler_state {
    Texture = <frame>; MinFilter = Linear; MagFilter = Linear; AddressU = Clamp; AddressV = Clamp;
};
sampler2D distortedSampler = sampler_state {
    Texture = <distorted>; MinFilter = Linear; MagFilter = Linear; AddressU = Clamp; AddressV = Clamp;
};
sampler2D glow256Sampler = sampler_state {
    Texture = <glow256>; MinFilter = Linear; MagFilter = Linear; AddressU = Clamp; AddressV = Clamp;
};
sampler2D glow64Sampler = sampler_state {
    Texture = <glow64>; MinFilter = Linear; MagFilter = Linear; AddressU = Clamp; AddressV = Clamp;
};
sampler2D glow16Sampler = sampler_state {
    Texture = <glow16>; MinFilter = Linear; MagFilter = Linear; AddressU = Clamp; AddressV = Clamp;
};
sampler2D noiseSampler = sampler_state {
    Texture = <noiseMap>; MinFilter = Linear; MagFilter = Linear; MipFilter = Linear;
};

glsl {
    // The climax (96 to 120 s) with a pulse on every beat of 0.5 s.
    float Climax() { return smoothstep(95.0, 97.0, time) * (1.0 - smoothstep(119.0, 121.0, time)); }
    float Beat() { return exp(-fract(time * 2.0) * 5.0); }
}

vertexshader quadVS {
    out vec2 uv;
    void main() {
        gl_Position = vec4(POSITION.xy, 0.0, 1.0);
        uv = TEXCOORD0.xy;
    }
}

// What glows: the parts above the threshold, more of them at dusk; strong
// colours (the ribbon) fully, pale ones (clouds, haze) a third as much.
pixelshader brightPS {
    in vec2 uv;
    void main() {
        vec3 colour = texture(sourceSampler, uv).rgb;
        float peak = max(colour.r, max(colour.g, colour.b));
        float saturation = (peak - min(colour.r, min(colour.g, colour.b))) / max(peak, 1e-3);
        float knee = threshold - 0.12 * skyMood;
        float amount = smoothstep(knee, knee + 0.15, peak) * mix(0.35, 1.0, saturation);
        COLOR0 = vec4(colour * amount, 1.0);
    }
}

// A nine-texel Gaussian along `direction` (one step in texture coordinates)
// in five taps: each outer pair of weights is read with one filtered tap
// between its two texels.
pixelshader blurPS {
    in vec2 uv;
    void main() {
        const float weights[3] = float[](0.2270, 0.3162, 0.0703);
        const float offsets[3] = float[](0.0, 1.3846, 3.2308);
        vec3 sum = texture(sourceSampler, uv).rgb * weights[0];
        for (int i = 1; i < 3; ++i) {
            sum += texture(sourceSampler, uv + direction * offsets[i]).rgb * weights[i];
            sum += texture(sourceSampler, uv - direction * offsets[i]).rgb * weights[i];
        }
        COLOR0 = vec4(sum, 1.0);
    }
}

// The scene copy pushed around by slowly moving noise, colour channels apart,
// with a ring that runs out from the centre on every beat of the climax.
pixelshader distortPS {
    in vec2 uv;
    void main() {
        float climax = Climax();
        vec2 wobble = texture(noiseSampler, uv * 1.5 + vec2(time * 0.031, time * 0.017)).rg - 0.5;
        vec2 offset = wobble * (0.008 + climax * (0.025 + 0.035 * Beat()));
        vec2 centre = uv - 0.5;
        float ring = sin(length(centre) * 38.0 - fract(time * 2.0) * 30.0);
        offset += centre * ring * 0.025 * climax * Beat();
        COLOR0 = vec4(texture(frameSampler, uv + offset * 1.4).r,
                      texture(frameSampler, uv + offset).g,
                      texture(frameSampler, uv + offset * 0.6).b, 1.0);
    }
}

glsl {
    vec3 Finish(vec3 colour, vec2 uv) {
        vec2 centre = uv - 0.5;
        colour *= 1.0 - dot(centre, centre) * 0.9;
        float fade = smoothstep(0.0, 2.0, time) * (1.0 - smoothstep(123.2, 125.2, time));
        return colour * fade;
    }
}

// Scene, distorted copy (strongest at the climax) and the three glow sizes;
// the glow fades out in the last seconds.
pixelshader composePS {
    in vec2 uv;
    void main() {
        float mixing = 0.15 + Climax() * (0.45 + 0.4 * Beat());
        vec3 colour = mix(texture(frameSampler, uv).rgb, texture(distortedSampler, uv).rgb, mixing);
        vec3 glow = texture(glow256Sampler, uv).rgb * 0.45 + texture(glow64Sampler, uv).rgb * 0.35
                  + texture(glow16Sampler, uv).rgb * 0.2;
        float strength = glowStrength * (1.0 + 0.6 * skyMood + 0.5 * Climax() * Beat())
                       * (1.0 - smoothstep(120.0, 124.5, time));
        COLOR0 = vec4(Finish(colour + glow * strength, uv), 1.0);
    }
}

pixelshader composeSimplePS {
    in vec2 uv;
    void main() {
        vec3 colour = texture(frameSampler, uv).rgb + texture(glow256Sampler, uv).rgb * glowStrength
                    * (1.0 - smoothstep(120.0, 124.5, time));
        COLOR0 = vec4(Finish(colour, uv), 1.0);
    }
}

technique Bright {
    pass P0 {
        VertexShader = compile vs_2_0 quadVS();
        PixelShader = compile ps_2_0 brightPS();
        ZEnable = false; ZWriteEnable = false; CullMode = None;
    }
}

technique Blur {
    pass P0 {
        VertexShader = compile vs_2_0 quadVS();
        PixelShader = compile ps_2_0 blurPS();
        ZEnable = false; ZWriteEnable = false; CullMode = None;
    }
}

technique Distort {
    pass P0 {
        VertexShader = compile vs_3_0 quadVS();
        PixelShader = compile ps_3_0 distortPS();
        ZEnable = false; ZWriteEnable = false; CullMode = None;
    }
}

technique Compose {
    pass P0 {
        VertexShader = compile vs_3_0 quadVS();
        PixelShader = compile ps_3_0 composePS();
        ZEnable = false; ZWriteEnable = false; CullMode = None;
    }
}

technique ComposeSimple {
    pass P0 {
        VertexShader = compile vs_2_0 quadVS();
        PixelShader = compile ps_2_0 composeSimplePS();
        ZEnable = false; ZWriteEnable = false; CullMode = None;
    }
}
