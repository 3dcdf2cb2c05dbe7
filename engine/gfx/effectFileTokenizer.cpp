#include "engine/gfx/effectFileTokenizer.h"

#include "engine/core/log.h"

#include <cctype>
#include <cstdio>

namespace engine::gfx {

namespace {

bool IsIdentifierStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool IsIdentifierPart(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

} // namespace

EffectFileTokenizer::EffectFileTokenizer(std::string file, std::string text)
    : mFile(std::move(file)), mText(std::move(text)) {}

void EffectFileTokenizer::Fail(int line, const std::string& message) const {
    core::Logging::Get()->Error(mFile + "(" + std::to_string(line) + "): " + message,
                                ".\\effectFileTokenizer.cpp", __LINE__);
}

char EffectFileTokenizer::Peek(std::size_t ahead) const {
    return mPosition + ahead < mText.size() ? mText[mPosition + ahead] : '\0';
}

void EffectFileTokenizer::SkipSpaceAndComments() {
    while (mPosition < mText.size()) {
        const char c = Peek();
        if (c == '\n') {
            ++mLine;
            ++mPosition;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++mPosition;
        } else if (c == '/' && Peek(1) == '/') {
            while (mPosition < mText.size() && Peek() != '\n')
                ++mPosition;
        } else if (c == '/' && Peek(1) == '*') {
            const int start = mLine;
            mPosition += 2;
            while (!(Peek() == '*' && Peek(1) == '/')) {
                if (mPosition >= mText.size())
                    Fail(start, "comment is not closed");
                if (Peek() == '\n')
                    ++mLine;
                ++mPosition;
            }
            mPosition += 2;
        } else {
            return;
        }
    }
}

EffectToken EffectFileTokenizer::Next() {
    SkipSpaceAndComments();
    EffectToken token;
    token.line = mLine;
    if (mPosition >= mText.size())
        return token;
    const char c = Peek();
    const std::size_t start = mPosition;
    if (IsIdentifierStart(c)) {
        while (IsIdentifierPart(Peek()))
            ++mPosition;
        token.kind = EffectToken::Kind::Identifier;
    } else if (IsDigit(c) || (c == '.' && IsDigit(Peek(1)))) {
        if (c == '0' && (Peek(1) == 'x' || Peek(1) == 'X')) {
            mPosition += 2;
            while (std::isxdigit(static_cast<unsigned char>(Peek())))
                ++mPosition;
        } else {
            while (IsDigit(Peek()) || Peek() == '.')
                ++mPosition;
            if (Peek() == 'e' || Peek() == 'E') {
                ++mPosition;
                if (Peek() == '+' || Peek() == '-')
                    ++mPosition;
                while (IsDigit(Peek()))
                    ++mPosition;
            }
        }
        token.kind = EffectToken::Kind::Number;
        token.text = mText.substr(start, mPosition - start);
        // HLSL's float suffix is accepted and dropped.
        if (Peek() == 'f' || Peek() == 'F')
            ++mPosition;
        if (IsIdentifierPart(Peek()))
            Fail(mLine, "malformed number '" + token.text + "'");
        return token;
    } else if (c == '"') {
        ++mPosition;
        while (Peek() != '"') {
            if (mPosition >= mText.size() || Peek() == '\n')
                Fail(token.line, "string is not closed");
            ++mPosition;
        }
        token.kind = EffectToken::Kind::String;
        token.text = mText.substr(start + 1, mPosition - start - 1);
        ++mPosition;
        return token;
    } else if (std::string("{}()[]<>;,=:|-").find(c) != std::string::npos) {
        ++mPosition;
        token.kind = EffectToken::Kind::Symbol;
    } else {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned char>(c));
        Fail(mLine, std::string("unexpected character ") + code);
    }
    token.text = mText.substr(start, mPosition - start);
    return token;
}

std::string EffectFileTokenizer::ReadRawBlock(int& firstLine) {
    firstLine = mLine;
    const std::size_t start = mPosition;
    int depth = 1;
    while (mPosition < mText.size()) {
        const char c = Peek();
        if (c == '\n') {
            ++mLine;
        } else if (c == '/' && Peek(1) == '/') {
            while (mPosition < mText.size() && Peek() != '\n')
                ++mPosition;
            continue;
        } else if (c == '/' && Peek(1) == '*') {
            mPosition += 2;
            while (mPosition < mText.size() && !(Peek() == '*' && Peek(1) == '/')) {
                if (Peek() == '\n')
                    ++mLine;
                ++mPosition;
            }
            if (mPosition >= mText.size())
                break;
            mPosition += 2;
            continue;
        } else if (c == '{') {
            ++depth;
        } else if (c == '}' && --depth == 0) {
            std::string body = mText.substr(start, mPosition - start);
            ++mPosition;
            return body;
        }
        ++mPosition;
    }
    Fail(firstLine, "shader code block is not closed");
}

} // namespace engine::gfx
