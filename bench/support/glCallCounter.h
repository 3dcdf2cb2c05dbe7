#pragma once

#include <epoxy/gl.h>

#include <cstddef>
#include <type_traits>

namespace kovra::bench {

// Counts the calls of the OpenGL functions that drawing a frame uses, by
// routing libepoxy's function pointers through counting thunks while
// installed. Install it only after a frame has run: libepoxy resolves each
// pointer on its first call and would overwrite a thunk put there before.
class GlCallCounter {
public:
    GlCallCounter() { Each(Install{}); }
    ~GlCallCounter() { Each(Remove{}); }
    GlCallCounter(const GlCallCounter&) = delete;
    GlCallCounter& operator=(const GlCallCounter&) = delete;

    static std::size_t& Calls() {
        static std::size_t calls = 0;
        return calls;
    }

private:
    template <auto* Slot> struct Counted {
        using Function = std::remove_pointer_t<decltype(Slot)>;
        static inline Function real = nullptr;
        template <typename R, typename... A> static R Thunk(A... arguments) {
            ++Calls();
            return real(arguments...);
        }
        template <typename R, typename... A> static Function ThunkFor(R (*)(A...)) {
            return &Thunk<R, A...>;
        }
    };

    struct Install {
        template <auto* Slot> void Apply() const {
            Counted<Slot>::real = *Slot;
            *Slot = Counted<Slot>::ThunkFor(*Slot);
        }
    };
    struct Remove {
        template <auto* Slot> void Apply() const { *Slot = Counted<Slot>::real; }
    };

    template <typename Action> static void Each(Action action) {
        action.template Apply<&epoxy_glActiveTexture>();
        action.template Apply<&epoxy_glBindBuffer>();
        action.template Apply<&epoxy_glBindFramebuffer>();
        action.template Apply<&epoxy_glBindSampler>();
        action.template Apply<&epoxy_glBindTexture>();
        action.template Apply<&epoxy_glBindTextureUnit>();
        action.template Apply<&epoxy_glBindVertexArray>();
        action.template Apply<&epoxy_glBlendEquation>();
        action.template Apply<&epoxy_glBlendFunc>();
        action.template Apply<&epoxy_glBlitFramebuffer>();
        action.template Apply<&epoxy_glBlitNamedFramebuffer>();
        action.template Apply<&epoxy_glBufferData>();
        action.template Apply<&epoxy_glBufferSubData>();
        action.template Apply<&epoxy_glClear>();
        action.template Apply<&epoxy_glClearColor>();
        action.template Apply<&epoxy_glClearDepth>();
        action.template Apply<&epoxy_glClearStencil>();
        action.template Apply<&epoxy_glColorMask>();
        action.template Apply<&epoxy_glCullFace>();
        action.template Apply<&epoxy_glDepthFunc>();
        action.template Apply<&epoxy_glDepthMask>();
        action.template Apply<&epoxy_glDisable>();
        action.template Apply<&epoxy_glDisableVertexAttribArray>();
        action.template Apply<&epoxy_glDrawArrays>();
        action.template Apply<&epoxy_glDrawElementsBaseVertex>();
        action.template Apply<&epoxy_glEnable>();
        action.template Apply<&epoxy_glEnableVertexAttribArray>();
        action.template Apply<&epoxy_glFramebufferRenderbuffer>();
        action.template Apply<&epoxy_glFramebufferTexture2D>();
        action.template Apply<&epoxy_glPolygonMode>();
        action.template Apply<&epoxy_glProgramUniform1f>();
        action.template Apply<&epoxy_glProgramUniform1fv>();
        action.template Apply<&epoxy_glProgramUniform1i>();
        action.template Apply<&epoxy_glProgramUniform1iv>();
        action.template Apply<&epoxy_glProgramUniform2fv>();
        action.template Apply<&epoxy_glProgramUniform3fv>();
        action.template Apply<&epoxy_glProgramUniform4fv>();
        action.template Apply<&epoxy_glProgramUniformMatrix3fv>();
        action.template Apply<&epoxy_glProgramUniformMatrix4fv>();
        action.template Apply<&epoxy_glSamplerParameterf>();
        action.template Apply<&epoxy_glSamplerParameteri>();
        action.template Apply<&epoxy_glStencilMask>();
        action.template Apply<&epoxy_glUniform1f>();
        action.template Apply<&epoxy_glUniform1i>();
        action.template Apply<&epoxy_glUseProgram>();
        action.template Apply<&epoxy_glVertexAttribPointer>();
        action.template Apply<&epoxy_glViewport>();
    }
};

} // namespace kovra::bench
