#include "engine/platform/recordingDevice.h"

#include "engine/math/matrix4x4.h"

#include <algorithm>
#include <cstring>
#include <iomanip>
#include <sstream>

namespace engine::platform {

namespace {

using Call = RecordingDevice::Call;

template <typename E> double Code(E value) {
    return static_cast<double>(static_cast<std::uint32_t>(value));
}

class RecordedBuffer {
public:
    RecordedBuffer(RecordingDevice& device, std::uint32_t size) : mDevice(device), mBytes(size) {}

    void* LockBytes(const void* self, std::uint32_t offset, std::uint32_t size,
                    std::uint32_t flags) {
        mDevice.Record(Call::Lock, self, nullptr, {double(offset), double(size), double(flags)});
        if (mDevice.FailureOf(Call::Lock) != Result::Ok || mLocked || offset > mBytes.size() ||
            (size != 0 && size > mBytes.size() - offset)) {
            return nullptr;
        }
        mLocked = true;
        return mBytes.data() + offset;
    }

    Result UnlockBytes(const void* self) {
        mDevice.Record(Call::Unlock, self);
        if (!mLocked) {
            return Result::Failed;
        }
        mLocked = false;
        return mDevice.FailureOf(Call::Unlock);
    }

    std::uint32_t ByteSize() const { return static_cast<std::uint32_t>(mBytes.size()); }

private:
    RecordingDevice& mDevice;
    std::vector<std::uint8_t> mBytes;
    bool mLocked = false;
};

class RecordedVertexBuffer final : public VertexBuffer {
public:
    RecordedVertexBuffer(RecordingDevice& device, std::uint32_t size) : mBuffer(device, size) {}
    std::uint32_t Size() const override { return mBuffer.ByteSize(); }
    void* Lock(std::uint32_t offset, std::uint32_t size, std::uint32_t flags) override {
        return mBuffer.LockBytes(this, offset, size, flags);
    }
    Result Unlock() override { return mBuffer.UnlockBytes(this); }

private:
    RecordedBuffer mBuffer;
};

class RecordedIndexBuffer final : public IndexBuffer {
public:
    RecordedIndexBuffer(RecordingDevice& device, std::uint32_t size, IndexFormat format)
        : mBuffer(device, size), mFormat(format) {}
    std::uint32_t Size() const override { return mBuffer.ByteSize(); }
    IndexFormat GetFormat() const override { return mFormat; }
    void* Lock(std::uint32_t offset, std::uint32_t size, std::uint32_t flags) override {
        return mBuffer.LockBytes(this, offset, size, flags);
    }
    Result Unlock() override { return mBuffer.UnlockBytes(this); }

private:
    RecordedBuffer mBuffer;
    IndexFormat mFormat;
};

class RecordedDeclaration final : public VertexDeclaration {
public:
    explicit RecordedDeclaration(std::span<const VertexElement> elements)
        : mElements(elements.begin(), elements.end()) {}
    std::span<const VertexElement> Elements() const override { return mElements; }

private:
    std::vector<VertexElement> mElements;
};

int LevelCountFor(int width, int height, int levels) {
    int full = 1;
    for (int edge = std::max(width, height); edge > 1; edge /= 2) {
        ++full;
    }
    return levels <= 0 ? full : std::min(levels, full);
}

// Whether a GLSL declaration's type word names a uniform type, and which.
UniformType TypeOfGlsl(const std::string& word) {
    static const std::pair<const char*, UniformType> kTypes[] = {
        {"float", UniformType::Float},
        {"vec2", UniformType::Float2},
        {"vec3", UniformType::Float3},
        {"vec4", UniformType::Float4},
        {"mat3", UniformType::Float3x3},
        {"mat4", UniformType::Float4x4},
        {"int", UniformType::Int},
        {"bool", UniformType::Bool},
        {"sampler2D", UniformType::Sampler2D},
        {"samplerCube", UniformType::SamplerCube},
    };
    for (const auto& [name, type] : kTypes) {
        if (word == name) {
            return type;
        }
    }
    return UniformType::Other;
}

// The uniforms a GLSL source declares as "uniform <type> <name>[<n>];",
// with consecutive locations the way a linker might hand them out.
void CollectUniforms(const std::string& source, std::vector<UniformInfo>& uniforms,
                     int& nextLocation) {
    std::string text = source;
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == ';' || c == '[' || c == ']'; }, ' ');
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        if (word != "uniform") {
            continue;
        }
        std::string type, name;
        if (!(words >> type >> name)) {
            return;
        }
        int arraySize = 1;
        const auto mark = words.tellg();
        int count = 0;
        if (words >> count && count > 0) {
            arraySize = count;
        } else {
            words.clear();
            words.seekg(mark);
        }
        const bool known =
            std::any_of(uniforms.begin(), uniforms.end(),
                        [&](const UniformInfo& uniform) { return uniform.name == name; });
        if (!known) {
            uniforms.push_back({name, TypeOfGlsl(type), arraySize, nextLocation});
            nextLocation += arraySize;
        }
    }
}

class RecordedProgram final : public Program {
public:
    explicit RecordedProgram(const ProgramSource& source) {
        int location = 0;
        CollectUniforms(source.vertex, mUniforms, location);
        CollectUniforms(source.fragment, mUniforms, location);
    }
    const std::vector<UniformInfo>& Uniforms() const override { return mUniforms; }

private:
    std::vector<UniformInfo> mUniforms;
};

} // namespace

class RecordingDevice::RecordedSurface final : public Surface {
public:
    RecordedSurface(int width, int height, Format format)
        : mWidth(width), mHeight(height), mFormat(format) {}
    int Width() const override { return mWidth; }
    int Height() const override { return mHeight; }
    Format GetFormat() const override { return mFormat; }
    void Resize(int width, int height, Format format) {
        mWidth = width;
        mHeight = height;
        mFormat = format;
    }

private:
    int mWidth;
    int mHeight;
    Format mFormat;
};

namespace {

class RecordedTexture final : public Texture {
public:
    RecordedTexture(RecordingDevice& device, int width, int height, int levels, Format format)
        : mDevice(device), mWidth(width), mHeight(height), mFormat(format) {
        const int count = LevelCountFor(width, height, levels);
        for (int level = 0; level < count; ++level) {
            const int w = std::max(1, width >> level);
            const int h = std::max(1, height >> level);
            mLevels.emplace_back(LevelSize(format, w, h));
            mSurfaces.push_back(std::make_unique<Plain>(w, h, format));
        }
    }
    int LevelCount() const override { return static_cast<int>(mLevels.size()); }
    Format GetFormat() const override { return mFormat; }
    int Width() const override { return mWidth; }
    int Height() const override { return mHeight; }
    LockedRect Lock(int level) override {
        mDevice.Record(Call::Lock, this, nullptr, {double(level)});
        if (mDevice.FailureOf(Call::Lock) != Result::Ok || level < 0 || level >= LevelCount()) {
            return {};
        }
        return {mLevels[level].data(), RowPitch(mFormat, std::max(1, mWidth >> level))};
    }
    Result Unlock(int level) override {
        mDevice.Record(Call::Unlock, this, nullptr, {double(level)});
        return level >= 0 && level < LevelCount() ? mDevice.FailureOf(Call::Unlock)
                                                  : Result::Failed;
    }
    Surface* GetSurfaceLevel(int level) override {
        mDevice.Record(Call::GetSurfaceLevel, this, nullptr, {double(level)});
        if (mDevice.FailureOf(Call::GetSurfaceLevel) != Result::Ok || level < 0 ||
            level >= LevelCount()) {
            return nullptr;
        }
        return mSurfaces[level].get();
    }

private:
    class Plain final : public Surface {
    public:
        Plain(int width, int height, Format format)
            : mWidth(width), mHeight(height), mFormat(format) {}
        int Width() const override { return mWidth; }
        int Height() const override { return mHeight; }
        Format GetFormat() const override { return mFormat; }

    private:
        int mWidth, mHeight;
        Format mFormat;
    };

    RecordingDevice& mDevice;
    int mWidth, mHeight;
    Format mFormat;
    std::vector<std::vector<std::uint8_t>> mLevels;
    std::vector<std::unique_ptr<Plain>> mSurfaces;
};

class RecordedCubeTexture final : public CubeTexture {
public:
    RecordedCubeTexture(RecordingDevice& device, int edge, int levels, Format format)
        : mDevice(device), mEdge(edge), mFormat(format),
          mLevelCount(LevelCountFor(edge, edge, levels)) {
        for (int face = 0; face < 6; ++face) {
            for (int level = 0; level < mLevelCount; ++level) {
                const int e = std::max(1, edge >> level);
                mLevels.emplace_back(LevelSize(format, e, e));
            }
        }
    }
    int LevelCount() const override { return mLevelCount; }
    Format GetFormat() const override { return mFormat; }
    int EdgeLength() const override { return mEdge; }
    LockedRect Lock(CubeFace face, int level) override {
        mDevice.Record(Call::Lock, this, nullptr, {Code(face), double(level)});
        if (mDevice.FailureOf(Call::Lock) != Result::Ok || level < 0 || level >= mLevelCount) {
            return {};
        }
        return {mLevels[static_cast<int>(face) * mLevelCount + level].data(),
                RowPitch(mFormat, std::max(1, mEdge >> level))};
    }
    Result Unlock(CubeFace face, int level) override {
        mDevice.Record(Call::Unlock, this, nullptr, {Code(face), double(level)});
        return level >= 0 && level < mLevelCount ? mDevice.FailureOf(Call::Unlock) : Result::Failed;
    }

private:
    RecordingDevice& mDevice;
    int mEdge;
    Format mFormat;
    int mLevelCount;
    std::vector<std::vector<std::uint8_t>> mLevels;
};

} // namespace

RecordingDevice::RecordingDevice()
    : mBackBuffer(std::make_unique<RecordedSurface>(1024, 768, Format::X8R8G8B8)),
      mDepthStencil(std::make_unique<RecordedSurface>(1024, 768, Format::D24S8)) {
    mFailures.fill(Result::Ok);
    mCalls.reserve(4096);
    mCaps.pixelShaderVersion = 0xFFFF0300;
    mCaps.vertexShaderVersion = 0xFFFF0300;
    mCaps.vertexProcessingCaps = 0x17B;
    mCaps.maxTextureSize = 8192;
    mCaps.maxSamples = 4;
    mCaps.driver = "recording";
    mCaps.description = "Recording device";
    mCaps.deviceName = "recording0";
    mMultiSampleLimits = {{Format::A8R8G8B8, 4}, {Format::X8R8G8B8, 4}, {Format::R5G6B5, 4}};
    mParameters.width = 1024;
    mParameters.height = 768;
    mRenderTarget = mBackBuffer.get();
    mDepthTarget = mDepthStencil.get();
    for (auto& transform : mTransforms) {
        transform.fill(0.0f);
        transform[0] = transform[5] = transform[10] = transform[15] = 1.0f;
    }
}

RecordingDevice::~RecordingDevice() = default;

void RecordingDevice::Record(Call call, const void* object, const void* other,
                             std::array<double, 6> args) {
    if (mRecording) {
        mCalls.push_back({call, object, other, args});
    }
}

std::size_t RecordingDevice::Count(Call call) const {
    return static_cast<std::size_t>(
        std::count_if(mCalls.begin(), mCalls.end(),
                      [call](const CallRecord& record) { return record.call == call; }));
}

const char* RecordingDevice::CallName(Call call) {
    static const char* const kNames[] = {
        "TestCooperativeLevel",
        "Reset",
        "CreateVertexBuffer",
        "CreateIndexBuffer",
        "CreateVertexDeclaration",
        "CreateTexture",
        "CreateCubeTexture",
        "CreateDepthStencilSurface",
        "CreateProgram",
        "GetBackBuffer",
        "GetDepthStencilSurface",
        "SetRenderTarget",
        "GetRenderTarget",
        "SetDepthStencilSurface",
        "SetViewport",
        "StretchRect",
        "Clear",
        "BeginScene",
        "EndScene",
        "Present",
        "SaveSurfaceToPng",
        "ReadSurface",
        "SetTransform",
        "SetCullMode",
        "ApplyRenderStates",
        "SetVertexDeclaration",
        "SetStreamSource",
        "SetIndices",
        "DrawIndexedPrimitive",
        "DrawPrimitive",
        "SetProgram",
        "SetUniform",
        "SetTexture",
        "SetSamplerState",
        "Lock",
        "Unlock",
        "GetSurfaceLevel",
    };
    static_assert(std::size(kNames) == static_cast<std::size_t>(Call::Count));
    const auto index = static_cast<std::size_t>(call);
    return index < std::size(kNames) ? kNames[index] : "?";
}

std::string RecordingDevice::Describe(const CallRecord& record) {
    // How many numeric arguments each call carries.
    static const int kArgCounts[] = {0, 5, 2, 3, 1, 5, 3, 4, 0, 0, 0, 1, 1, 0, 4, 4, 4, 0, 0,
                                     0, 0, 0, 1, 1, 6, 0, 2, 0, 6, 3, 0, 6, 1, 6, 3, 1, 1};
    static_assert(std::size(kArgCounts) == static_cast<std::size_t>(Call::Count));
    std::ostringstream out;
    out << std::setprecision(12) << CallName(record.call) << '(';
    const int count = kArgCounts[static_cast<std::size_t>(record.call)];
    for (int i = 0; i < count; ++i) {
        out << (i ? ", " : "") << record.args[i];
    }
    out << ')';
    return out.str();
}

void RecordingDevice::SetFailure(Call call, Result result) {
    mFailures[static_cast<std::size_t>(call)] = result;
}

void RecordingDevice::ClearFailure(Call call) {
    mFailures[static_cast<std::size_t>(call)] = Result::Ok;
}

void RecordingDevice::SetMultiSampleLimit(Format format, int maxSamples) {
    mMultiSampleLimits[format] = maxSamples;
}

std::vector<std::int32_t> RecordingDevice::UniformBits(const Program* program, int location) const {
    const auto found = mUniforms.find({program, location});
    return found == mUniforms.end() ? std::vector<std::int32_t>{} : found->second;
}

std::vector<float> RecordingDevice::UniformFloats(const Program* program, int location) const {
    const std::vector<std::int32_t> bits = UniformBits(program, location);
    std::vector<float> values(bits.size());
    std::memcpy(values.data(), bits.data(), bits.size() * sizeof(float));
    return values;
}

bool RecordingDevice::CheckMultiSample(Format format, bool, int samples) const {
    const auto found = mMultiSampleLimits.find(format);
    if (found != mMultiSampleLimits.end() && found->second < 0) {
        return false;
    }
    if (samples <= 1) {
        return true;
    }
    return found != mMultiSampleLimits.end() && samples <= found->second;
}

Result RecordingDevice::TestCooperativeLevel() {
    Record(Call::TestCooperativeLevel, nullptr);
    return mCooperativeLevel;
}

Result RecordingDevice::Reset(const PresentParameters& parameters) {
    Record(Call::Reset, nullptr, nullptr,
           {double(parameters.width), double(parameters.height), Code(parameters.backBufferFormat),
            double(parameters.windowed), double(parameters.multiSample)});
    if (mCooperativeLevel == Result::DeviceLost) {
        return Result::DeviceLost;
    }
    if (FailureOf(Call::Reset) != Result::Ok) {
        return FailureOf(Call::Reset);
    }
    mCooperativeLevel = Result::Ok;
    mParameters = parameters;
    const int width = parameters.width > 0 ? parameters.width : mBackBuffer->Width();
    const int height = parameters.height > 0 ? parameters.height : mBackBuffer->Height();
    mBackBuffer->Resize(width, height, parameters.backBufferFormat);
    mDepthStencil->Resize(width, height, parameters.depthStencilFormat);
    mRenderTarget = mBackBuffer.get();
    mDepthTarget = mDepthStencil.get();
    mInScene = false;
    return Result::Ok;
}

std::unique_ptr<VertexBuffer> RecordingDevice::CreateVertexBuffer(std::uint32_t size,
                                                                  BufferUsage usage) {
    auto buffer = FailureOf(Call::CreateVertexBuffer) == Result::Ok && size > 0
                      ? std::make_unique<RecordedVertexBuffer>(*this, size)
                      : nullptr;
    Record(Call::CreateVertexBuffer, buffer.get(), nullptr, {double(size), Code(usage)});
    return buffer;
}

std::unique_ptr<IndexBuffer>
RecordingDevice::CreateIndexBuffer(std::uint32_t size, IndexFormat format, BufferUsage usage) {
    auto buffer = FailureOf(Call::CreateIndexBuffer) == Result::Ok && size > 0
                      ? std::make_unique<RecordedIndexBuffer>(*this, size, format)
                      : nullptr;
    Record(Call::CreateIndexBuffer, buffer.get(), nullptr,
           {double(size), Code(format), Code(usage)});
    return buffer;
}

std::unique_ptr<VertexDeclaration>
RecordingDevice::CreateVertexDeclaration(std::span<const VertexElement> elements) {
    auto declaration = FailureOf(Call::CreateVertexDeclaration) == Result::Ok && !elements.empty()
                           ? std::make_unique<RecordedDeclaration>(elements)
                           : nullptr;
    Record(Call::CreateVertexDeclaration, declaration.get(), nullptr, {double(elements.size())});
    return declaration;
}

std::unique_ptr<Texture> RecordingDevice::CreateTexture(int width, int height, int levels,
                                                        Format format, TextureUsage usage) {
    const bool valid = width > 0 && height > 0 && width <= mCaps.maxTextureSize &&
                       height <= mCaps.maxTextureSize && RowPitch(format, width) > 0 &&
                       !IsDepthFormat(format);
    auto texture =
        FailureOf(Call::CreateTexture) == Result::Ok && valid
            ? std::make_unique<RecordedTexture>(
                  *this, width, height, usage == TextureUsage::RenderTarget ? 1 : levels, format)
            : nullptr;
    Record(Call::CreateTexture, texture.get(), nullptr,
           {double(width), double(height), double(levels), Code(format), Code(usage)});
    return texture;
}

std::unique_ptr<CubeTexture> RecordingDevice::CreateCubeTexture(int edgeLength, int levels,
                                                                Format format) {
    const bool valid = edgeLength > 0 && edgeLength <= mCaps.maxTextureSize &&
                       RowPitch(format, edgeLength) > 0 && !IsDepthFormat(format);
    auto texture = FailureOf(Call::CreateCubeTexture) == Result::Ok && valid
                       ? std::make_unique<RecordedCubeTexture>(*this, edgeLength, levels, format)
                       : nullptr;
    Record(Call::CreateCubeTexture, texture.get(), nullptr,
           {double(edgeLength), double(levels), Code(format)});
    return texture;
}

std::unique_ptr<Surface>
RecordingDevice::CreateDepthStencilSurface(int width, int height, Format format, int multiSample) {
    auto surface = FailureOf(Call::CreateDepthStencilSurface) == Result::Ok && width > 0 &&
                           height > 0 && IsDepthFormat(format)
                       ? std::make_unique<RecordedSurface>(width, height, format)
                       : nullptr;
    Record(Call::CreateDepthStencilSurface, surface.get(), nullptr,
           {double(width), double(height), Code(format), double(multiSample)});
    return surface;
}

ProgramResult RecordingDevice::CreateProgram(const ProgramSource& source) {
    ProgramResult result;
    if (FailureOf(Call::CreateProgram) == Result::Ok) {
        result.program = std::make_unique<RecordedProgram>(source);
    } else {
        result.log = "0:1(1): error: program creation failed on request";
    }
    Record(Call::CreateProgram, result.program.get());
    return result;
}

Surface* RecordingDevice::GetBackBuffer() {
    Record(Call::GetBackBuffer, mBackBuffer.get());
    return FailureOf(Call::GetBackBuffer) == Result::Ok ? mBackBuffer.get() : nullptr;
}

Surface* RecordingDevice::GetDepthStencilSurface() {
    Record(Call::GetDepthStencilSurface, mDepthStencil.get());
    return FailureOf(Call::GetDepthStencilSurface) == Result::Ok ? mDepthStencil.get() : nullptr;
}

Result RecordingDevice::SetRenderTarget(int index, Surface* surface) {
    Record(Call::SetRenderTarget, surface, nullptr, {double(index)});
    if (index != 0 || surface == nullptr || IsDepthFormat(surface->GetFormat()) ||
        IsCompressed(surface->GetFormat())) {
        return Result::Failed;
    }
    if (FailureOf(Call::SetRenderTarget) != Result::Ok) {
        return FailureOf(Call::SetRenderTarget);
    }
    mRenderTarget = surface;
    return Result::Ok;
}

Surface* RecordingDevice::GetRenderTarget(int index) {
    Record(Call::GetRenderTarget, mRenderTarget, nullptr, {double(index)});
    return index == 0 && FailureOf(Call::GetRenderTarget) == Result::Ok ? mRenderTarget : nullptr;
}

Result RecordingDevice::SetDepthStencilSurface(Surface* surface) {
    Record(Call::SetDepthStencilSurface, surface);
    if (surface != nullptr && !IsDepthFormat(surface->GetFormat())) {
        return Result::Failed;
    }
    if (FailureOf(Call::SetDepthStencilSurface) != Result::Ok) {
        return FailureOf(Call::SetDepthStencilSurface);
    }
    mDepthTarget = surface;
    return Result::Ok;
}

Result RecordingDevice::SetViewport(const Rect& viewport) {
    Record(Call::SetViewport, mRenderTarget, nullptr,
           {double(viewport.left), double(viewport.top), double(viewport.right),
            double(viewport.bottom)});
    if (mRenderTarget == nullptr || !Within(viewport, *mRenderTarget)) {
        return Result::Failed;
    }
    return FailureOf(Call::SetViewport);
}

Result RecordingDevice::StretchRect(Surface* source, const Rect* sourceRect, Surface* destination) {
    const Rect rect = sourceRect ? *sourceRect : Rect{};
    Record(Call::StretchRect, source, destination,
           {double(rect.left), double(rect.top), double(rect.right), double(rect.bottom)});
    if ((sourceRect != nullptr && (source == nullptr || !Within(rect, *source))) ||
        source == nullptr || destination == nullptr || IsCompressed(source->GetFormat()) ||
        IsCompressed(destination->GetFormat()) || IsDepthFormat(source->GetFormat()) ||
        IsDepthFormat(destination->GetFormat())) {
        return Result::Failed;
    }
    return FailureOf(Call::StretchRect);
}

Result RecordingDevice::Clear(std::uint32_t flags, std::uint32_t color, float z,
                              std::uint32_t stencil) {
    Record(Call::Clear, nullptr, nullptr,
           {double(flags), double(color), double(z), double(stencil)});
    return FailureOf(Call::Clear);
}

Result RecordingDevice::BeginScene() {
    Record(Call::BeginScene, nullptr);
    if (mInScene) {
        return Result::Failed;
    }
    if (FailureOf(Call::BeginScene) != Result::Ok) {
        return FailureOf(Call::BeginScene);
    }
    mInScene = true;
    return Result::Ok;
}

Result RecordingDevice::EndScene() {
    Record(Call::EndScene, nullptr);
    if (!mInScene) {
        return Result::Failed;
    }
    mInScene = false;
    return FailureOf(Call::EndScene);
}

Result RecordingDevice::Present() {
    Record(Call::Present, nullptr);
    if (mCooperativeLevel != Result::Ok) {
        return Result::DeviceLost;
    }
    return FailureOf(Call::Present);
}

Result RecordingDevice::SaveSurfaceToPng(Surface* surface, const std::string& path) {
    Record(Call::SaveSurfaceToPng, surface);
    if (surface == nullptr || IsCompressed(surface->GetFormat())) {
        return Result::Failed;
    }
    if (FailureOf(Call::SaveSurfaceToPng) != Result::Ok) {
        return FailureOf(Call::SaveSurfaceToPng);
    }
    mSavedPaths.push_back(path);
    return Result::Ok;
}

// No pixels are kept: a readable surface reads as transparent black.
Result RecordingDevice::ReadSurface(Surface* surface, std::vector<std::uint8_t>& rgba) {
    Record(Call::ReadSurface, surface);
    if (surface == nullptr || IsCompressed(surface->GetFormat())) {
        return Result::Failed;
    }
    if (FailureOf(Call::ReadSurface) != Result::Ok) {
        return FailureOf(Call::ReadSurface);
    }
    rgba.assign(static_cast<std::size_t>(surface->Width()) * surface->Height() * 4, 0);
    return Result::Ok;
}

void RecordingDevice::SetTransform(TransformState state, const math::Matrix4x4& matrix) {
    Record(Call::SetTransform, nullptr, nullptr, {Code(state)});
    std::copy(matrix.m, matrix.m + 16, mTransforms[TransformIndex(state)].begin());
}

void RecordingDevice::GetTransform(TransformState state, math::Matrix4x4& matrix) const {
    const auto& stored = mTransforms[TransformIndex(state)];
    std::copy(stored.begin(), stored.end(), matrix.m);
}

void RecordingDevice::SetCullMode(CullMode mode) {
    Record(Call::SetCullMode, nullptr, nullptr, {Code(mode)});
    mRenderStates.cullMode = mode;
}

void RecordingDevice::ApplyRenderStates(const RenderStates& states) {
    Record(Call::ApplyRenderStates, nullptr, nullptr,
           {double(states.zEnable), double(states.zWriteEnable), Code(states.cullMode),
            double(states.alphaBlendEnable), double(states.alphaTestEnable),
            Code(states.fillMode)});
    mRenderStates = states;
}

void RecordingDevice::SetVertexDeclaration(VertexDeclaration* declaration) {
    Record(Call::SetVertexDeclaration, declaration);
}

void RecordingDevice::SetStreamSource(VertexBuffer* buffer, std::uint32_t offset,
                                      std::uint32_t stride) {
    Record(Call::SetStreamSource, buffer, nullptr, {double(offset), double(stride)});
}

void RecordingDevice::SetIndices(IndexBuffer* buffer) {
    Record(Call::SetIndices, buffer);
}

Result RecordingDevice::DrawIndexedPrimitive(PrimitiveType type, int baseVertexIndex,
                                             std::uint32_t minIndex, std::uint32_t numVertices,
                                             std::uint32_t startIndex,
                                             std::uint32_t primitiveCount) {
    Record(Call::DrawIndexedPrimitive, nullptr, nullptr,
           {Code(type), double(baseVertexIndex), double(minIndex), double(numVertices),
            double(startIndex), double(primitiveCount)});
    if (!mInScene) {
        return Result::Failed;
    }
    return FailureOf(Call::DrawIndexedPrimitive);
}

Result RecordingDevice::DrawPrimitive(PrimitiveType type, std::uint32_t startVertex,
                                      std::uint32_t primitiveCount) {
    Record(Call::DrawPrimitive, nullptr, nullptr,
           {Code(type), double(startVertex), double(primitiveCount)});
    if (!mInScene) {
        return Result::Failed;
    }
    return FailureOf(Call::DrawPrimitive);
}

void RecordingDevice::SetProgram(Program* program) {
    Record(Call::SetProgram, program);
}

void RecordingDevice::SetUniform(Program* program, int location, UniformType type,
                                 const void* values, int count) {
    const int components = UniformComponents(type);
    std::array<double, 6> args{double(location), double(static_cast<int>(type)), double(count)};
    const bool isFloat = type != UniformType::Int && type != UniformType::Bool &&
                         type != UniformType::Sampler2D && type != UniformType::SamplerCube;
    for (int i = 0; i < std::min(components * count, 3); ++i) {
        if (isFloat) {
            args[3 + i] = static_cast<const float*>(values)[i];
        } else {
            args[3 + i] = static_cast<const std::int32_t*>(values)[i];
        }
    }
    Record(Call::SetUniform, program, nullptr, args);
    if (location < 0 || count <= 0 || components == 0) {
        return;
    }
    std::vector<std::int32_t>& stored = mUniforms[{program, location}];
    const auto* first = static_cast<const std::int32_t*>(values);
    stored.assign(first, first + components * count);
}

void RecordingDevice::SetTexture(int unit, BaseTexture* texture) {
    Record(Call::SetTexture, nullptr, texture, {double(unit)});
}

void RecordingDevice::SetSamplerState(int unit, const SamplerState& state) {
    Record(Call::SetSamplerState, nullptr, nullptr,
           {double(unit), Code(state.minFilter), Code(state.magFilter), Code(state.mipFilter),
            Code(state.addressU), Code(state.addressV)});
}

} // namespace engine::platform
