#include "core/io/ZipArchive.h"

#include <QFile>

#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace rz {

namespace {

QString libzipMessage(zip_error_t* error)
{
    return QString::fromUtf8(zip_error_strerror(error));
}

QString archiveMessage(zip_t* archive)
{
    return QString::fromUtf8(zip_strerror(archive));
}

[[noreturn]] void fail(const QString& text)
{
    throw ZipError(text.toStdString());
}

// Reads one entry through libzip, which inflates and checks the CRC at the entry's end.
class ZipEntryDevice final : public QIODevice {
public:
    ZipEntryDevice(zip_file_t* file, QString entryName) : file_(file), entryName_(std::move(entryName))
    {
        open(QIODevice::ReadOnly);
    }
    ~ZipEntryDevice() override { zip_fclose(file_); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (maxSize <= 0)
            return 0;
        const zip_int64_t got = zip_fread(file_, data, static_cast<zip_uint64_t>(maxSize));
        if (got < 0) {
            setErrorString(QStringLiteral("The part \"%1\" is damaged: %2")
                               .arg(entryName_, QString::fromUtf8(zip_file_strerror(file_))));
            return -1;
        }
        return got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* file_;
    QString entryName_;
};

}  // namespace

struct ZipReader::Handle {
    zip_t* archive = nullptr;
    QByteArray bytes;  // the buffer an in-memory archive reads from
    QString name;
    ~Handle()
    {
        if (archive)
            zip_discard(archive);
    }
};

ZipReader::ZipReader(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
ZipReader::ZipReader(ZipReader&&) noexcept = default;
ZipReader& ZipReader::operator=(ZipReader&&) noexcept = default;
ZipReader::~ZipReader() = default;

ZipReader ZipReader::openFile(const QString& path)
{
    auto handle = std::make_unique<Handle>();
    handle->name = path;
    int code = 0;
    handle->archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!handle->archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString reason = libzipMessage(&error);
        zip_error_fini(&error);
        fail(QStringLiteral("Cannot read \"%1\" as a zip archive: %2").arg(path, reason));
    }
    return ZipReader(std::move(handle));
}

ZipReader ZipReader::fromBytes(const QByteArray& bytes, const QString& displayName)
{
    auto handle = std::make_unique<Handle>();
    handle->name = displayName;
    handle->bytes = bytes;
    handle->bytes.detach();
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source =
        zip_source_buffer_create(handle->bytes.constData(), static_cast<zip_uint64_t>(handle->bytes.size()), 0, &error);
    if (source)
        handle->archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!handle->archive) {
        const QString reason = libzipMessage(&error);
        zip_error_fini(&error);
        if (source)
            zip_source_free(source);
        fail(QStringLiteral("Cannot read \"%1\" as a zip archive: %2").arg(displayName, reason));
    }
    zip_error_fini(&error);
    return ZipReader(std::move(handle));
}

QStringList ZipReader::entryNames() const
{
    QStringList names;
    const zip_int64_t n = zip_get_num_entries(handle_->archive, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        if (const char* name = zip_get_name(handle_->archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS))
            names << QString::fromUtf8(name);
    }
    return names;
}

bool ZipReader::contains(const QString& name) const
{
    return zip_name_locate(handle_->archive, name.toUtf8().constData(), 0) >= 0;
}

qint64 ZipReader::entrySize(const QString& name) const
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(handle_->archive, name.toUtf8().constData(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        return -1;
    return static_cast<qint64>(st.size);
}

QByteArray ZipReader::read(const QString& name, qint64 maxBytes) const
{
    const qint64 size = entrySize(name);
    if (size > maxBytes)
        fail(QStringLiteral("The part \"%2\" of \"%1\" is too large (%3 bytes)").arg(handle_->name, name).arg(size));
    QByteArray data;
    data.reserve(static_cast<qsizetype>(std::max<qint64>(size, 0)));
    readChunks(name, [&data](QByteArrayView piece) { data.append(piece); });
    return data;
}

void ZipReader::readChunks(const QString& name, const std::function<void(QByteArrayView)>& consume,
                           qint64 chunkBytes) const
{
    const qint64 size = entrySize(name);
    if (size < 0)
        fail(QStringLiteral("\"%1\" has no part \"%2\"").arg(handle_->name, name));
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(zip_fopen(handle_->archive, name.toUtf8().constData(), 0),
                                                            &zip_fclose);
    if (!file)
        fail(QStringLiteral("Cannot open the part \"%2\" of \"%1\": %3")
                 .arg(handle_->name, name, archiveMessage(handle_->archive)));
    auto damaged = [&] {
        fail(QStringLiteral("The part \"%2\" of \"%1\" is damaged: %3")
                 .arg(handle_->name, name, QString::fromUtf8(zip_file_strerror(file.get()))));
    };
    QByteArray buffer(static_cast<qsizetype>(std::clamp<qint64>(std::min(chunkBytes, size), 1, qint64(1) << 30)),
                      Qt::Uninitialized);
    for (qint64 done = 0; done < size;) {
        const qint64 want = std::min<qint64>(buffer.size(), size - done);
        const zip_int64_t got = zip_fread(file.get(), buffer.data(), static_cast<zip_uint64_t>(want));
        if (got <= 0)
            damaged();
        consume(QByteArrayView(buffer.constData(), static_cast<qsizetype>(got)));
        done += got;
    }
    // One more read lets libzip compare the CRC and notice data past the stated size.
    char probe = 0;
    if (zip_fread(file.get(), &probe, 1) != 0)
        damaged();
}

std::unique_ptr<QIODevice> ZipReader::openEntry(const QString& name) const
{
    if (entrySize(name) < 0)
        fail(QStringLiteral("\"%1\" has no part \"%2\"").arg(handle_->name, name));
    zip_file_t* file = zip_fopen(handle_->archive, name.toUtf8().constData(), 0);
    if (!file)
        fail(QStringLiteral("Cannot open the part \"%2\" of \"%1\": %3")
                 .arg(handle_->name, name, archiveMessage(handle_->archive)));
    return std::make_unique<ZipEntryDevice>(file, name);
}

void replaceZipEntries(const QString& path, const std::vector<std::pair<QString, QByteArray>>& entries)
{
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_CHECKCONS, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString reason = libzipMessage(&error);
        zip_error_fini(&error);
        fail(QStringLiteral("Cannot open \"%1\" as a zip archive: %2").arg(path, reason));
    }
    for (const auto& [name, bytes] : entries) {
        // libzip reads the buffer at zip_close(): keep it alive in a copy it owns.
        void* copy = std::malloc(static_cast<std::size_t>(std::max<qsizetype>(bytes.size(), 1)));
        if (!copy) {
            zip_discard(archive);
            fail(QStringLiteral("Out of memory while writing \"%1\"").arg(path));
        }
        std::memcpy(copy, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        zip_source_t* source = zip_source_buffer(archive, copy, static_cast<zip_uint64_t>(bytes.size()), 1);
        if (!source) {
            std::free(copy);
            const QString reason = archiveMessage(archive);
            zip_discard(archive);
            fail(QStringLiteral("Cannot write \"%1\": %2").arg(path, reason));
        }
        // A replaced entry keeps its date, so that the archive's bytes depend on its content only.
        zip_stat_t old;
        zip_stat_init(&old);
        const bool replacing = zip_stat(archive, name.toUtf8().constData(), ZIP_FL_ENC_UTF_8, &old) == 0 &&
                               (old.valid & ZIP_STAT_MTIME);
        const zip_int64_t index = zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            const QString reason = archiveMessage(archive);
            zip_discard(archive);
            fail(QStringLiteral("Cannot write the part \"%2\" of \"%1\": %3").arg(path, name, reason));
        }
        if (replacing)
            zip_file_set_mtime(archive, static_cast<zip_uint64_t>(index), old.mtime, 0);
    }
    if (zip_close(archive) != 0) {
        const QString reason = archiveMessage(archive);
        zip_discard(archive);
        fail(QStringLiteral("Cannot write \"%1\": %2").arg(path, reason));
    }
}

}  // namespace rz
