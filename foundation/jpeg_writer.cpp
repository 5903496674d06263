#include "foundation/jpeg_writer.h"

#include "foundation/string_helpers.h"
#include "platform/file_writer.h"
#include "platform/paths.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <mutex>
// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace {

const char* const kCantOpenFileFormat = "Can't open file\"%s\"";

// The last call's failure, for GetJpegErrorText; set once at the end of each
// call, which may run on any thread.
std::mutex g_lastErrorLock;
QString g_lastErrorText;

void SetLastError(const QString& text)
{
    std::lock_guard lock(g_lastErrorLock);
    g_lastErrorText = text;
}

// Everything one compression uses, owned by the call: no state is shared
// between calls or threads.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf returnPoint;
    QString text; // the library's last message
};

// Compressed bytes go to the temporary file of the writer; a failed write is
// a library error like any other.
struct Destination {
    jpeg_destination_mgr pub;
    platform::AtomicFileWriter* file;
    JOCTET buffer[16384];
};

struct Compression {
    jpeg_compress_struct cinfo {};
    ErrorManager errors {};
    Destination dest {};
};

void StoreMessage(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    AssignAnsiString(reinterpret_cast<ErrorManager*>(cinfo->err)->text, text);
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
    reinterpret_cast<ErrorManager*>(cinfo->err)->text.clear();
}

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

// A library error jumps back into this frame from deep inside libjpeg, so its
// state lives in the caller's `c`, and only objects without destructors live
// here.
bool Compress(Compression& c, platform::AtomicFileWriter& file, int width, int height, int quality,
    const uint8_t* pixels)
{
    jpeg_compress_struct& cinfo = c.cinfo;
    cinfo.err = jpeg_std_error(&c.errors.pub);
    c.errors.pub.error_exit = ErrorExit;
    c.errors.pub.output_message = StoreMessage;
    c.errors.pub.reset_error_mgr = ResetErrorManager;
    if (setjmp(c.errors.returnPoint)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    c.dest.file = &file;
    c.dest.pub.init_destination = InitDestination;
    c.dest.pub.empty_output_buffer = EmptyOutputBuffer;
    c.dest.pub.term_destination = TermDestination;
    cinfo.dest = &c.dest.pub;
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

// One call: true when the file was written; `error` is the failure's text,
// or a warning of a picture that was written all the same.
bool Save(const QString& path, int width, int height, int quality, const uint8_t* pixels, QString& error)
{
    if (!pixels || width <= 0 || height <= 0) {
        error = QStringLiteral("No picture to write: %1 x %2").arg(width).arg(height);
        return false;
    }
    platform::AtomicFileWriter file(platform::DevicePathToLocal(path).toStdString());
    if (!file.Error().empty()) {
        error = QString::asprintf(kCantOpenFileFormat, path.toUtf8().constData());
        return false;
    }
    const auto compression = std::make_unique<Compression>();
    const bool compressed = Compress(*compression, file, width, height, quality, pixels);
    error = compression->errors.text;
    if (!compressed)
        return false;
    if (!file.Commit()) {
        error = QString::fromStdString(file.Error());
        return false;
    }
    return true;
}

} // namespace

bool SaveJpegFile(const QString& path, int width, int height, int quality, const uint8_t* pixels)
{
    QString error;
    const bool ok = Save(path, width, height, quality, pixels, error);
    SetLastError(error);
    return ok;
}

QString GetJpegErrorText()
{
    std::lock_guard lock(g_lastErrorLock);
    return g_lastErrorText;
}
