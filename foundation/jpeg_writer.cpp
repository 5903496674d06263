#include "foundation/jpeg_writer.h"

#include "foundation/string_helpers.h"
#include "platform/file_writer.h"
#include "platform/paths.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace {

QString g_jpegErrorText;
const char* const kCantOpenFileFormat = "Can't open file\"%s\"";

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf returnPoint;
};

void StoreMessage(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    AssignAnsiString(g_jpegErrorText, text);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    (*cinfo->err->output_message)(cinfo);
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->returnPoint, 1);
}

void ResetErrorManager(j_common_ptr cinfo)
{
    cinfo->err->num_warnings = 0;
    cinfo->err->msg_code = 0;
    g_jpegErrorText.clear();
}

// Compressed bytes go to the temporary file of the writer; a failed write is
// a library error like any other.
struct Destination {
    jpeg_destination_mgr pub;
    platform::AtomicFileWriter* file;
    JOCTET buffer[16384];
};

void InitDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = sizeof dest->buffer;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    if (!dest->file->Write(dest->buffer, sizeof dest->buffer))
        ERREXIT(cinfo, JERR_FILE_WRITE);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = sizeof dest->buffer;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    const size_t used = sizeof dest->buffer - dest->pub.free_in_buffer;
    if (used > 0 && !dest->file->Write(dest->buffer, used))
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

// Only objects without destructors live in this frame: a library error jumps
// back into it from deep inside libjpeg.
bool Compress(platform::AtomicFileWriter& file, int width, int height, int quality, const uint8_t* pixels)
{
    static jpeg_compress_struct cinfo;
    static ErrorManager errors;
    static Destination dest;
    cinfo = jpeg_compress_struct {};
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = ErrorExit;
    errors.pub.output_message = StoreMessage;
    errors.pub.reset_error_mgr = ResetErrorManager;
    if (setjmp(errors.returnPoint)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    dest.file = &file;
    dest.pub.init_destination = InitDestination;
    dest.pub.empty_output_buffer = EmptyOutputBuffer;
    dest.pub.term_destination = TermDestination;
    cinfo.dest = &dest.pub;
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + size_t(width) * cinfo.next_scanline * 3);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

bool SaveJpegFile(const QString& path, int width, int height, int quality, const uint8_t* pixels)
{
    g_jpegErrorText.clear();
    if (!pixels || width <= 0 || height <= 0) {
        g_jpegErrorText = QStringLiteral("No picture to write: %1 x %2").arg(width).arg(height);
        return false;
    }
    platform::AtomicFileWriter file(platform::DevicePathToLocal(path).toStdString());
    if (!file.Error().empty()) {
        g_jpegErrorText = QString::asprintf(kCantOpenFileFormat, path.toUtf8().constData());
        return false;
    }
    if (!Compress(file, width, height, quality, pixels))
        return false;
    if (!file.Commit()) {
        g_jpegErrorText = QString::fromStdString(file.Error());
        return false;
    }
    return true;
}

QString GetJpegErrorText() { return g_jpegErrorText; }
