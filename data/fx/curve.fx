// The ribbon behind "TheCurve": additive quads coloured by their age. The
// emitter starts each quad red and moves its colour by (-0.1, 0, 0.1) a
// second, so the age is read back from the red channel: white-hot at the
// head, red, then crimson and violet as it fades out over its 15 s.
float4x4 worldViewProjection : WorldViewProjection;
float4x4 world : World;
float4x4 viewProjection : ViewProjection;
float4x4 camera : Camera;
float time : Time;
float brightness = 1.0;

glsl {
    vec4 AgeColour(vec4 emitted) {
        float age = clamp((1.0 - emitted.r) * 10.0, 0.0, 15.0);
        vec3 hot = vec3(1.0, 0.85, 0.6);
        vec3 red = vec3(1.0, 0.1, 0.04);
        vec3 crimson = vec3(0.75, 0.02, 0.22);
        vec3 violet = vec3(0.35, 0.05, 0.55);
        vec3 colour = age < 0.6 ? mix(hot, red, age / 0.6)
                    : age < 5.0 ? mix(red, crimson, (age - 0.6) / 4.4)
                                : mix(crimson, violet, (age - 5.0) / 10.0);
        float fade = (1.0 - smoothstep(8.0, 14.5, age)) * (0.75 + 0.25 * sin(time * 9.0 - age * 6.0));
        return vec4(colour * fade * brightness, 1.0);
    }
}

vertexshader ribbonVS {
    out vec4 colour;
    out float height;
    void main() {
        gl_Position = POSITION * worldViewProjection;
        colour = AgeColour(TEXCOORD0);
        height = 1.0;
    }
}

vertexshader ribbonMirrorVS {
    out vec4 colour;
    out float height;
    void main() {
        vec4 scene = (POSITION * world) * camera;
        height = scene.y;
        scene.y = -scene.y;
        gl_Position = (scene * inverse(camera)) * viewProjection;
        colour = AgeColour(TEXCOORD0) * 0.6;
    }
}

pixelshader ribbonPS {
    in vec4 colour;
    in float height;
    void main() {
        if (height < 0.0)
            discard;
        COLOR0 = colour;
    }
}

technique Ribbon {
    pass P0 {
        VertexShader = compile vs_2_0 ribbonVS();
        PixelShader = compile ps_2_0 ribbonPS();
        CullMode = None;
        ZWriteEnable = false;
        AlphaBlendEnable = true;
        SrcBlend = One;
        DestBlend = One;
    }
}

technique Mirror {
    pass P0 {
        VertexShader = compile vs_2_0 ribbonMirrorVS();
        PixelShader = compile ps_2_0 ribbonPS();
        CullMode = None;
        ZWriteEnable = false;
        AlphaBlendEnable = true;
        SrcBlend = One;
        DestBlend = One;
    }
}
