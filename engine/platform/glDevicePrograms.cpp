#include "engine/platform/glDeviceState.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace engine::platform {

namespace {

UniformType UniformTypeOf(GLenum type) {
    switch (type) {
    case GL_FLOAT:
        return UniformType::Float;
    case GL_FLOAT_VEC2:
        return UniformType::Float2;
    case GL_FLOAT_VEC3:
        return UniformType::Float3;
    case GL_FLOAT_VEC4:
        return UniformType::Float4;
    case GL_FLOAT_MAT3:
        return UniformType::Float3x3;
    case GL_FLOAT_MAT4:
        return UniformType::Float4x4;
    case GL_INT:
        return UniformType::Int;
    case GL_BOOL:
        return UniformType::Bool;
    case GL_SAMPLER_2D:
        return UniformType::Sampler2D;
    case GL_SAMPLER_CUBE:
        return UniformType::SamplerCube;
    default:
        break;
    }
    return UniformType::Other;
}

std::string ShaderLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string text(static_cast<std::size_t>(std::max(length, 1)), '\0');
    glGetShaderInfoLog(shader, length, nullptr, text.data());
    text.resize(std::strlen(text.c_str()));
    return text;
}

GLuint Compile(GLenum stage, const std::string& source, std::string& log) {
    const GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        log += (stage == GL_VERTEX_SHADER ? "vertex shader: " : "fragment shader: ") +
               ShaderLog(shader);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

ProgramResult GlDevice::CreateProgram(const ProgramSource& source) {
    ProgramResult result;
    const GLuint vertex = Compile(GL_VERTEX_SHADER, source.vertex, result.log);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, source.fragment, result.log);
    if (vertex == 0 || fragment == 0) {
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return result;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    for (const AttributeBinding& binding : source.attributes) {
        const int slot = AttributeSlot(binding.usage, binding.usageIndex);
        if (slot >= 0) {
            glBindAttribLocation(program, static_cast<GLuint>(slot), binding.name.c_str());
        }
    }
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        GLint length = 0;
        glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
        std::string text(static_cast<std::size_t>(std::max(length, 1)), '\0');
        glGetProgramInfoLog(program, length, nullptr, text.data());
        text.resize(std::strlen(text.c_str()));
        result.log += "link: " + text;
        glDeleteProgram(program);
        return result;
    }
    GLint count = 0, longest = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    glGetProgramiv(program, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longest);
    std::vector<UniformInfo> uniforms;
    std::vector<char> name(static_cast<std::size_t>(std::max(longest, 1)));
    for (GLint i = 0; i < count; ++i) {
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, static_cast<GLuint>(i), longest, nullptr, &size, &type,
                           name.data());
        UniformInfo info;
        info.name = name.data();
        info.location = glGetUniformLocation(program, info.name.c_str());
        if (info.location < 0) {
            continue; // a member of a uniform block
        }
        if (info.name.size() > 3 && info.name.ends_with("[0]")) {
            info.name.resize(info.name.size() - 3);
        }
        info.type = UniformTypeOf(type);
        info.arraySize = size;
        uniforms.push_back(std::move(info));
    }
    result.program = std::make_unique<GlProgram>(mState->link, program, std::move(uniforms));
    return result;
}

void GlDevice::SetProgram(Program* program) {
    State& s = *mState;
    if (program == s.program && !s.link->programStale) {
        return;
    }
    s.program = static_cast<GlProgram*>(program);
    s.link->programStale = false;
    glUseProgram(program != nullptr ? s.program->mName : 0);
}

void GlDevice::SetUniform(Program* program, int location, UniformType type, const void* values,
                          int count) {
    if (program == nullptr || location < 0 || count <= 0) {
        return;
    }
    auto* target = static_cast<GlProgram*>(program);
    if (target->Holds(location, type, values, count)) {
        return;
    }
    const GLuint name = target->mName;
    const bool bound = mState->program == program;
    if (!mState->programUniform && !bound) {
        glUseProgram(name);
    }
    const auto* f = static_cast<const GLfloat*>(values);
    const auto* i = static_cast<const GLint*>(values);
    if (mState->programUniform) {
        switch (type) {
        case UniformType::Float:
            glProgramUniform1fv(name, location, count, f);
            break;
        case UniformType::Float2:
            glProgramUniform2fv(name, location, count, f);
            break;
        case UniformType::Float3:
            glProgramUniform3fv(name, location, count, f);
            break;
        case UniformType::Float4:
            glProgramUniform4fv(name, location, count, f);
            break;
        case UniformType::Float3x3:
            glProgramUniformMatrix3fv(name, location, count, GL_TRUE, f);
            break;
        case UniformType::Float4x4:
            glProgramUniformMatrix4fv(name, location, count, GL_TRUE, f);
            break;
        case UniformType::Int:
        case UniformType::Bool:
        case UniformType::Sampler2D:
        case UniformType::SamplerCube:
            glProgramUniform1iv(name, location, count, i);
            break;
        case UniformType::Other:
            break;
        }
        return;
    }
    switch (type) {
    case UniformType::Float:
        glUniform1fv(location, count, f);
        break;
    case UniformType::Float2:
        glUniform2fv(location, count, f);
        break;
    case UniformType::Float3:
        glUniform3fv(location, count, f);
        break;
    case UniformType::Float4:
        glUniform4fv(location, count, f);
        break;
    case UniformType::Float3x3:
        glUniformMatrix3fv(location, count, GL_TRUE, f);
        break;
    case UniformType::Float4x4:
        glUniformMatrix4fv(location, count, GL_TRUE, f);
        break;
    case UniformType::Int:
    case UniformType::Bool:
    case UniformType::Sampler2D:
    case UniformType::SamplerCube:
        glUniform1iv(location, count, i);
        break;
    case UniformType::Other:
        break;
    }
    if (!bound) {
        glUseProgram(mState->program != nullptr ? mState->program->mName : 0);
    }
}

} // namespace engine::platform
