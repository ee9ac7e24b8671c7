#include "platform/media/AviFrameDecoder.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace qv::media {

class AviFrameDecoder::Impl {
public:
    Impl(AviFile file, int stream) : file_(std::move(file)), stream_(stream) {}
    virtual ~Impl() = default;

    const AviStream& stream() const { return file_.streams()[static_cast<size_t>(stream_)]; }
    const std::vector<AviChunkRef>& chunks() const { return stream().chunks; }

    // Picture of chunk `chunk`, which is not empty.
    virtual std::optional<PackedDib> decode(size_t chunk, MediaError& error) = 0;

    int width = 0;
    int height = 0;

protected:
    bool read(size_t chunk, std::vector<uint8_t>& out, MediaError& error) const
    {
        return file_.readChunk(stream_, chunk, out, error);
    }

    AviFile file_;
    int stream_;
};

namespace {

bool plausibleSize(int width, int height, int bitCount)
{
    return width > 0 && height > 0 && width <= kMaxDibSide && height <= kMaxDibSide &&
           dibStride(width, bitCount) * static_cast<size_t>(height) <= kMaxDibPixelBytes;
}

// Uncompressed pictures: copied as they are, turned bottom-up when stored top-down.
class RawDecoder final : public AviFrameDecoder::Impl {
public:
    RawDecoder(AviFile file, int stream, const BITMAPINFOHEADER& bih, std::vector<uint32_t> table)
        : Impl(std::move(file), stream), bits_(bih.biBitCount), topDown_(bih.biHeight < 0), table_(std::move(table))
    {
        width = bih.biWidth;
        height = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
    }

    std::optional<PackedDib> decode(size_t chunk, MediaError& error) override
    {
        if (!read(chunk, data_, error))
            return std::nullopt;
        size_t stride = dibStride(width, bits_);
        if (data_.size() < stride * static_cast<size_t>(height)) {
            error = {MediaErrorKind::Truncated, "frame " + std::to_string(chunk) + " has " +
                                                    std::to_string(data_.size()) + " bytes; its picture needs " +
                                                    std::to_string(stride * static_cast<size_t>(height))};
            return std::nullopt;
        }
        PackedDib dib(width, height, bits_, table_);
        for (int y = 0; y < height; ++y) {
            // Stored row r holds picture row r from the top when top-down, else from the bottom.
            int fromTop = topDown_ ? y : height - 1 - y;
            std::memcpy(dib.row(fromTop), data_.data() + stride * static_cast<size_t>(y), stride);
        }
        return dib;
    }

private:
    int bits_;
    bool topDown_;
    std::vector<uint32_t> table_;
    std::vector<uint8_t> data_;
};

// Every other coding, through libavcodec; pictures converted to 24-bit BGR by libswscale.
class CodecDecoder final : public AviFrameDecoder::Impl {
public:
    CodecDecoder(AviFile file, int stream) : Impl(std::move(file), stream) {}
    ~CodecDecoder() override
    {
        sws_freeContext(sws_);
        av_frame_free(&cached_);
        av_frame_free(&work_);
        av_packet_free(&packet_);
        avcodec_free_context(&ctx_);
    }

    bool open(const BITMAPINFOHEADER& bih, MediaError& error)
    {
        const AVCodecTag* const tables[] = {avformat_get_riff_video_tags(), nullptr};
        AVCodecID id = av_codec_get_id(tables, bih.biCompression);
        if (id == AV_CODEC_ID_NONE) {
            // Some writers store the code in lower case.
            uint32_t upper = bih.biCompression;
            for (int i = 0; i < 4; ++i) {
                uint32_t c = (upper >> (8 * i)) & 0xFF;
                if (c >= 'a' && c <= 'z')
                    upper = (upper & ~(0xFFu << (8 * i))) | ((c - 32) << (8 * i));
            }
            id = av_codec_get_id(tables, upper);
        }
        const AVCodec* codec = id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_decoder(id);
        if (!codec) {
            error = {MediaErrorKind::Unsupported,
                     "no decoder for video coding \"" + fourCCText(bih.biCompression) + "\""};
            return false;
        }
        const AVCodecDescriptor* desc = avcodec_descriptor_get(id);
        intraOnly_ = desc && (desc->props & AV_CODEC_PROP_INTRA_ONLY);
        codec_ = codec;
        bih_ = bih;
        packet_ = av_packet_alloc();
        work_ = av_frame_alloc();
        cached_ = av_frame_alloc();
        if (!packet_ || !work_ || !cached_) {
            error = {MediaErrorKind::Unsupported, "out of memory for the video decoder"};
            return false;
        }
        width = bih.biWidth;
        height = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
        return openContext(error);
    }

    // A decoder context as new: some codecs keep state across a flush (tables a damaged frame
    // then borrows), so a restart takes a fresh one and each frame index gives one picture.
    bool openContext(MediaError& error)
    {
        avcodec_free_context(&ctx_);
        const AVCodec* codec = codec_;
        const BITMAPINFOHEADER& bih = bih_;
        ctx_ = avcodec_alloc_context3(codec);
        if (!ctx_) {
            error = {MediaErrorKind::Unsupported, "out of memory for the video decoder"};
            return false;
        }
        ctx_->width = width;
        ctx_->height = height;
        ctx_->codec_tag = bih.biCompression;
        ctx_->bits_per_coded_sample = bih.biBitCount;
        ctx_->thread_count = 1; // no frame-thread delay: one packet in, its picture out
        const auto& fmt = stream().format;
        if (fmt.size() > kBitmapInfoHeaderSize) {
            size_t n = fmt.size() - kBitmapInfoHeaderSize;
            ctx_->extradata = static_cast<uint8_t*>(av_mallocz(n + AV_INPUT_BUFFER_PADDING_SIZE));
            if (!ctx_->extradata) {
                error = {MediaErrorKind::Unsupported, "out of memory for the video decoder"};
                return false;
            }
            std::memcpy(ctx_->extradata, fmt.data() + kBitmapInfoHeaderSize, n);
            ctx_->extradata_size = static_cast<int>(n);
        }
        if (avcodec_open2(ctx_, codec, nullptr) < 0) {
            error = {MediaErrorKind::Unsupported, std::string("the ") + codec->name + " decoder would not open"};
            return false;
        }
        return true;
    }

    std::optional<PackedDib> decode(size_t target, MediaError& error) override
    {
        if (cachedIndex_ == static_cast<int64_t>(target))
            return convert(error);
        size_t start = target;
        if (!intraOnly_)
            while (start > 0 && !(chunks()[start].keyFrame && chunks()[start].size > 0))
                --start;
        // Go on from where the decoder stands when that is on the way to the target; otherwise
        // begin again at the key frame.
        bool onTheWay = !drained_ && next_ > start && next_ <= target && cachedIndex_ < static_cast<int64_t>(target);
        if (!onTheWay) {
            if (!openContext(error))
                return std::nullopt;
            next_ = start;
            drained_ = false;
            cachedIndex_ = -1;
        }
        for (;;) {
            // Collect what the decoder has finished.
            for (;;) {
                int r = avcodec_receive_frame(ctx_, work_);
                if (r != 0)
                    break;
                int64_t pts = work_->pts != AV_NOPTS_VALUE ? work_->pts : work_->best_effort_timestamp;
                av_frame_unref(cached_);
                av_frame_move_ref(cached_, work_);
                cachedIndex_ = pts;
                if (pts >= static_cast<int64_t>(target))
                    break;
            }
            if (cachedIndex_ == static_cast<int64_t>(target))
                return convert(error);
            if (cachedIndex_ > static_cast<int64_t>(target) || drained_) {
                error = {MediaErrorKind::Inconsistent, "frame " + std::to_string(target) + " could not be decoded"};
                return std::nullopt;
            }
            if (next_ > target) {
                // Everything up to the target is in: let the decoder give out what it holds.
                avcodec_send_packet(ctx_, nullptr);
                drained_ = true;
                continue;
            }
            size_t index = next_;
            if (chunks()[index].size == 0) { // a dropped frame carries no data for the decoder
                ++next_;
                continue;
            }
            if (!read(index, data_, error))
                return std::nullopt;
            if (av_new_packet(packet_, static_cast<int>(data_.size())) < 0) {
                error = {MediaErrorKind::Unsupported, "out of memory for a video packet"};
                return std::nullopt;
            }
            std::memcpy(packet_->data, data_.data(), data_.size());
            packet_->pts = packet_->dts = static_cast<int64_t>(index);
            if (chunks()[index].keyFrame)
                packet_->flags |= AV_PKT_FLAG_KEY;
            int r = avcodec_send_packet(ctx_, packet_);
            av_packet_unref(packet_);
            if (r == AVERROR(EAGAIN))
                continue; // output must be taken first; the same packet goes again
            ++next_;
            if (r < 0 && index == target) {
                error = {MediaErrorKind::Inconsistent, "frame " + std::to_string(target) + " could not be decoded"};
                return std::nullopt;
            }
        }
    }

private:
    std::optional<PackedDib> convert(MediaError& error)
    {
        int w = cached_->width;
        int h = cached_->height;
        if (!plausibleSize(w, h, 24)) {
            error = {MediaErrorKind::Inconsistent, "the decoder gave a picture of " + std::to_string(w) + " x " +
                                                       std::to_string(h)};
            return std::nullopt;
        }
        auto format = static_cast<AVPixelFormat>(cached_->format);
        bool fullRange = cached_->color_range == AVCOL_RANGE_JPEG;
        // The full-range variants are deprecated inputs to libswscale: give their plain twins
        // with the range set explicitly.
        switch (format) {
        case AV_PIX_FMT_YUVJ420P: format = AV_PIX_FMT_YUV420P; fullRange = true; break;
        case AV_PIX_FMT_YUVJ422P: format = AV_PIX_FMT_YUV422P; fullRange = true; break;
        case AV_PIX_FMT_YUVJ444P: format = AV_PIX_FMT_YUV444P; fullRange = true; break;
        case AV_PIX_FMT_YUVJ440P: format = AV_PIX_FMT_YUV440P; fullRange = true; break;
        case AV_PIX_FMT_YUVJ411P: format = AV_PIX_FMT_YUV411P; fullRange = true; break;
        default: break;
        }
        sws_ = sws_getCachedContext(sws_, w, h, format, w, h, AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!sws_) {
            error = {MediaErrorKind::Unsupported, std::string("cannot convert pictures of pixel format ") +
                                                      (av_get_pix_fmt_name(format) ? av_get_pix_fmt_name(format) : "?")};
            return std::nullopt;
        }
        const int* coefficients = sws_getCoefficients(SWS_CS_ITU601);
        sws_setColorspaceDetails(sws_, coefficients, fullRange ? 1 : 0, coefficients, 1, 0, 1 << 16, 1 << 16);
        PackedDib dib(w, h, 24);
        // Writing from the top row downwards with a negative stride lays the rows bottom-up.
        uint8_t* dst[4] = {dib.row(0), nullptr, nullptr, nullptr};
        int dstStride[4] = {-static_cast<int>(dib.stride()), 0, 0, 0};
        sws_scale(sws_, cached_->data, cached_->linesize, 0, h, dst, dstStride);
        return dib;
    }

    const AVCodec* codec_ = nullptr;
    BITMAPINFOHEADER bih_{};
    AVCodecContext* ctx_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* work_ = nullptr;
    AVFrame* cached_ = nullptr;     // the latest picture the decoder gave
    int64_t cachedIndex_ = -1;      // its frame index
    SwsContext* sws_ = nullptr;
    size_t next_ = 0;               // next chunk to send
    bool drained_ = false;          // end of input signalled; a flush is needed before more
    bool intraOnly_ = false;
    std::vector<uint8_t> data_;
};

} // namespace

AviFrameDecoder::AviFrameDecoder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
AviFrameDecoder::~AviFrameDecoder() = default;

std::unique_ptr<AviFrameDecoder> AviFrameDecoder::open(const AviFile& file, int stream, MediaError& error)
{
    if (stream < 0 || static_cast<size_t>(stream) >= file.streams().size() ||
        !file.streams()[static_cast<size_t>(stream)].isVideo()) {
        error = {MediaErrorKind::NotFound, "stream " + std::to_string(stream) + " is not a video stream"};
        return nullptr;
    }
    const AviStream& s = file.streams()[static_cast<size_t>(stream)];
    BITMAPINFOHEADER bih = *s.bitmapInfo(); // the parser refuses video streams without one
    // The lowest height has no positive twin: refused before it is negated.
    const bool noHeight = bih.biHeight == INT32_MIN;
    int height = noHeight ? 0 : bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
    if (noHeight || !plausibleSize(bih.biWidth, height, bih.biBitCount ? bih.biBitCount : 24)) {
        error = {MediaErrorKind::Inconsistent, "video stream " + std::to_string(stream) + " has a picture of " +
                                                   std::to_string(bih.biWidth) + " x " + std::to_string(bih.biHeight)};
        return nullptr;
    }
    if (bih.biCompression == gdi::BI_RGB) {
        int bits = bih.biBitCount;
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
            error = {MediaErrorKind::Unsupported, "uncompressed video of " + std::to_string(bits) + " bits per pixel"};
            return nullptr;
        }
        std::vector<uint32_t> table;
        if (bits <= 8) {
            size_t count = bih.biClrUsed != 0 ? bih.biClrUsed : size_t{1} << bits;
            if (count > (size_t{1} << bits) || s.format.size() - bih.biSize < 4 * count) {
                error = {MediaErrorKind::Inconsistent, "video stream " + std::to_string(stream) +
                                                           " lacks the colour table of its " + std::to_string(bits) +
                                                           "-bit pictures"};
                return nullptr;
            }
            for (size_t i = 0; i < count; ++i)
                table.push_back(le32(s.format.data() + bih.biSize + 4 * i) & 0xFFFFFFu);
        }
        return std::unique_ptr<AviFrameDecoder>(
            new AviFrameDecoder(std::make_unique<RawDecoder>(file, stream, bih, std::move(table))));
    }
    auto codec = std::make_unique<CodecDecoder>(file, stream);
    if (!codec->open(bih, error))
        return nullptr;
    return std::unique_ptr<AviFrameDecoder>(new AviFrameDecoder(std::move(codec)));
}

size_t AviFrameDecoder::frameCount() const { return impl_->chunks().size(); }
int AviFrameDecoder::width() const { return impl_->width; }
int AviFrameDecoder::height() const { return impl_->height; }

std::optional<PackedDib> AviFrameDecoder::frame(int64_t index, MediaError& error)
{
    const auto& chunks = impl_->chunks();
    if (index < 0 || static_cast<uint64_t>(index) >= chunks.size()) {
        error = {MediaErrorKind::NotFound, "frame " + std::to_string(index) + " is outside 0.." +
                                               std::to_string(static_cast<int64_t>(chunks.size()) - 1)};
        return std::nullopt;
    }
    // A dropped frame repeats the last picture before it.
    auto chunk = static_cast<size_t>(index);
    while (chunks[chunk].size == 0) {
        if (chunk == 0) {
            error = {MediaErrorKind::NotFound, "no picture at or before frame " + std::to_string(index)};
            return std::nullopt;
        }
        --chunk;
    }
    return impl_->decode(chunk, error);
}

} // namespace qv::media
