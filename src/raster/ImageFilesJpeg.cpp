// JPEG through libjpeg, read from memory or straight from a file, written to memory.
//
// libjpeg reports errors through our error manager, which jumps back with longjmp. As with PNG,
// the functions that call setjmp hold nothing that needs a destructor. Warnings count as damage:
// a file cut short would otherwise decode as a grey picture, and the size budget relies on the
// file really holding its scans.

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "platform/Catalogue.h"
#include "raster/DibService.h"
#include "raster/ImageFilesCodecs.h"
#include "raster/ImageRefusal.h"

namespace gw::imagefiles {

namespace {

// A progressive file may repeat scans endlessly, each one a pass over the whole picture; the
// encoders we know of write about ten.
constexpr int kMaxScans = 100;

struct JpegErrors {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

[[noreturn]] void Abort(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

void Message(j_common_ptr info, int level) {
    if (level < 0) Abort(info);
}

void Quiet(j_common_ptr) {}

void LimitScans(j_common_ptr info) {
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) {
        Abort(info);
    }
}

void InstallErrors(JpegErrors& errors) {
    jpeg_std_error(&errors.mgr);
    errors.mgr.error_exit = Abort;
    errors.mgr.emit_message = Message;
    errors.mgr.output_message = Quiet;
}

// A file read as the decoder asks for it. A file that ends before the decoder does is damaged.
struct StreamSource {
    jpeg_source_mgr mgr;
    const ByteReader* read = nullptr;
    JOCTET buffer[16384];
};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr cinfo) {
    auto& source = *reinterpret_cast<StreamSource*>(cinfo->src);
    const std::size_t got = (*source.read)(source.buffer, sizeof source.buffer);
    if (got == 0) Abort(reinterpret_cast<j_common_ptr>(cinfo));
    source.mgr.next_input_byte = source.buffer;
    source.mgr.bytes_in_buffer = got;
    return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr& mgr = *cinfo->src;
    auto left = static_cast<unsigned long>(count);
    while (left > mgr.bytes_in_buffer) {
        left -= static_cast<unsigned long>(mgr.bytes_in_buffer);
        FillInput(cinfo);
    }
    mgr.next_input_byte += left;
    mgr.bytes_in_buffer -= left;
}

struct JpegReadJob {
    const std::uint8_t* data = nullptr;  // the whole file, or null when `stream` reads it
    StreamSource* stream = nullptr;
    std::uint64_t size = 0;  // of the whole file
    DibImage dib;
    std::vector<std::uint8_t> cmyk;
};

std::uint8_t Product(unsigned a, unsigned b) {
    return std::uint8_t((a * b + 127) / 255);
}

// Runs after jpeg_create_decompress; jumps back here on every error and warning.
bool RunRead(jpeg_decompress_struct& cinfo, JpegErrors& errors, jpeg_progress_mgr& progress,
             JpegReadJob& job) {
    if (setjmp(errors.jump)) return false;
    jpeg_create_decompress(&cinfo);
    progress.progress_monitor = LimitScans;
    cinfo.progress = &progress;
    cinfo.mem->max_memory_to_use = long(kMaxDibBytes);
    if (job.stream) {
        StreamSource& source = *job.stream;
        source.mgr.init_source = InitSource;
        source.mgr.fill_input_buffer = FillInput;
        source.mgr.skip_input_data = SkipInput;
        source.mgr.resync_to_restart = jpeg_resync_to_restart;
        source.mgr.term_source = TermSource;
        source.mgr.next_input_byte = nullptr;
        source.mgr.bytes_in_buffer = 0;
        cinfo.src = &source.mgr;
    } else {
        jpeg_mem_src(&cinfo, job.data, static_cast<unsigned long>(job.size));
    }
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) return false;
    // Arithmetic coding packs a flat picture into almost nothing: no budget can be given for it.
    if (cinfo.arith_code) {
        NoteRefusal(N_("Arithmetisch codierte JPEG-Bilder werden nicht unterstützt."));
        return false;
    }
    const std::int64_t width = cinfo.image_width;
    const std::int64_t height = cinfo.image_height;
    if (!DibSizeAllowed(width, height, 24)) return false;
    // A progressive picture is decoded from all its coefficients at once, two bytes each, for
    // every component at its own sampling: up to twice the decoded picture.
    if (cinfo.progressive_mode) {
        std::uint64_t coefficients = 0;
        for (int i = 0; i < cinfo.num_components; ++i) {
            const jpeg_component_info& c = cinfo.comp_info[i];
            const std::uint64_t across = (std::uint64_t(c.width_in_blocks) + c.h_samp_factor - 1) /
                                         c.h_samp_factor * c.h_samp_factor;
            const std::uint64_t down = (std::uint64_t(c.height_in_blocks) + c.v_samp_factor - 1) /
                                       c.v_samp_factor * c.v_samp_factor;
            coefficients += across * down * DCTSIZE2 * sizeof(JCOEF);
        }
        if (!WorkingBufferAllowed(coefficients)) return false;
    }
    if (!WithinBudget(std::uint64_t(width) * std::uint64_t(height), job.size, kJpegPixelsPerByte)) {
        return false;
    }

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    switch (cinfo.jpeg_color_space) {
        case JCS_GRAYSCALE:
        case JCS_YCbCr:
        case JCS_RGB:
            cinfo.out_color_space = JCS_EXT_BGR;
            break;
        case JCS_CMYK:
        case JCS_YCCK:
            cinfo.out_color_space = JCS_CMYK;
            break;
        default:
            return false;
    }
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_width != width || cinfo.output_height != height ||
        cinfo.output_components != (cmyk ? 4 : 3)) {
        return false;
    }
    newdib(job.dib, std::int32_t(width), std::int32_t(height), 24, nullptr, 0);
    if (job.dib.Empty()) return false;
    if (cmyk) job.cmyk.resize(std::size_t(width) * 4);
    // Files with an Adobe marker store CMYK inverted (0 = full ink); others store it plainly.
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        const std::int32_t t = std::int32_t(cinfo.output_scanline);
        JSAMPROW row = cmyk ? job.cmyk.data() : job.dib.Row(t);
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) return false;
        if (!cmyk) continue;
        std::uint8_t* dst = job.dib.Row(t);
        const std::uint8_t* src = job.cmyk.data();
        for (std::int64_t x = 0; x < width; ++x, src += 4, dst += 3) {
            const unsigned k = inverted ? src[3] : 255u - src[3];
            for (int c = 0; c < 3; ++c) {
                const unsigned ink = inverted ? src[c] : 255u - src[c];
                dst[2 - c] = Product(ink, k);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

// Collects the compressed bytes in a vector owned by the caller.
struct VectorDestination {
    jpeg_destination_mgr mgr;
    std::vector<std::uint8_t>* bytes = nullptr;
    JOCTET buffer[16384];
};

VectorDestination& DestinationOf(j_compress_ptr cinfo) {
    return *reinterpret_cast<VectorDestination*>(cinfo->dest);
}

void StartDestination(j_compress_ptr cinfo) {
    VectorDestination& dest = DestinationOf(cinfo);
    dest.mgr.next_output_byte = dest.buffer;
    dest.mgr.free_in_buffer = sizeof dest.buffer;
}

boolean EmptyDestination(j_compress_ptr cinfo) {
    VectorDestination& dest = DestinationOf(cinfo);
    if (!AppendBytes(*dest.bytes, dest.buffer, sizeof dest.buffer)) Abort(j_common_ptr(cinfo));
    StartDestination(cinfo);
    return TRUE;
}

void FinishDestination(j_compress_ptr cinfo) {
    VectorDestination& dest = DestinationOf(cinfo);
    if (!AppendBytes(*dest.bytes, dest.buffer, sizeof dest.buffer - dest.mgr.free_in_buffer))
        Abort(j_common_ptr(cinfo));
}

bool RunWrite(jpeg_compress_struct& cinfo, JpegErrors& errors, const DibImage& dib, int quality,
              int dpi, VectorDestination& dest) {
    if (setjmp(errors.jump)) return false;
    jpeg_create_compress(&cinfo);
    dest.mgr.init_destination = StartDestination;
    dest.mgr.empty_output_buffer = EmptyDestination;
    dest.mgr.term_destination = FinishDestination;
    cinfo.dest = &dest.mgr;
    cinfo.image_width = JDIMENSION(DibWidth(dib));
    cinfo.image_height = JDIMENSION(DibHeight(dib));
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality < 1 ? 1 : quality > 100 ? 100 : quality, TRUE);
    if (dpi > 0) {
        cinfo.density_unit = 1;  // dots per inch
        cinfo.X_density = cinfo.Y_density = UINT16(dpi);
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<std::uint8_t*>(dib.Row(std::int32_t(cinfo.next_scanline)));
        if (jpeg_write_scanlines(&cinfo, &row, 1) != 1) return false;
    }
    jpeg_finish_compress(&cinfo);
    return true;
}

}  // namespace

namespace {

bool DecodeJpegJob(JpegReadJob& job, DibImage& out) {
    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = &errors.mgr;
    InstallErrors(errors);
    jpeg_progress_mgr progress{};
    const bool ok = RunRead(cinfo, errors, progress, job);
    jpeg_destroy_decompress(&cinfo);
    if (!ok) return false;
    out = std::move(job.dib);
    return true;
}

}  // namespace

bool DecodeJpeg(const std::uint8_t* data, std::size_t size, DibImage& out) {
    JpegReadJob job;
    job.data = data;
    job.size = size;
    return DecodeJpegJob(job, out);
}

bool DecodeJpeg(const ByteReader& read, std::uint64_t size, DibImage& out) {
    const auto source = std::make_unique<StreamSource>();
    source->read = &read;
    JpegReadJob job;
    job.stream = source.get();
    job.size = size;
    return DecodeJpegJob(job, out);
}

bool EncodeJpeg(const DibImage& dib, int quality, int dpi, std::vector<std::uint8_t>& bytes) {
    jpeg_compress_struct cinfo;
    JpegErrors errors;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = &errors.mgr;
    InstallErrors(errors);
    VectorDestination dest{};
    dest.bytes = &bytes;
    const bool ok = RunWrite(cinfo, errors, dib, quality, dpi, dest);
    jpeg_destroy_compress(&cinfo);
    return ok;
}

}  // namespace gw::imagefiles
