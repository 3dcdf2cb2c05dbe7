#pragma once

#include <cstddef>
#include <string>

namespace engine::gfx {

struct EffectToken {
    enum class Kind { Identifier, Number, String, Symbol, End };
    Kind kind = Kind::End;
    std::string text; // identifier, number text, string contents or the symbol
    int line = 0;
};

// Splits effect-file text into tokens. Shader blocks are not tokenized: the
// parser takes their GLSL verbatim with ReadRawBlock. Errors raise through
// the log with the file name and line.
class EffectFileTokenizer {
public:
    EffectFileTokenizer(std::string file, std::string text);

    EffectToken Next();

    // Takes everything up to the '}' that closes a '{' just read, keeping
    // nested braces and skipping braces inside comments. Returns the text
    // between the braces; firstLine is the line the text starts on.
    std::string ReadRawBlock(int& firstLine);

    [[noreturn]] void Fail(int line, const std::string& message) const;

private:
    void SkipSpaceAndComments();
    char Peek(std::size_t ahead = 0) const;

    std::string mFile;
    std::string mText;
    std::size_t mPosition = 0;
    int mLine = 1;
};

} // namespace engine::gfx
