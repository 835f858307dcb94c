#include "store/ZipPackage.h"

#include <zip.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace vandorix {
namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string zipErrorText(zip_error_t *error) {
    std::string text = zip_error_strerror(error);
    zip_error_fini(error);
    return text;
}

struct SourceCloser {
    void operator()(zip_source_t *s) const { zip_source_free(s); }
};

} // namespace

std::string writeZip(const std::vector<ZipEntry> &entries) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!buffer) throw std::runtime_error("zip: " + zipErrorText(&error));
    std::unique_ptr<zip_source_t, SourceCloser> bufferGuard(buffer);
    zip_source_keep(buffer); // the archive's close releases one reference
    zip_t *archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (!archive) throw std::runtime_error("zip: " + zipErrorText(&error));

    const time_t fixedTime = 315532800 + 86400; // 1980-01-02, the earliest zip time
    for (const ZipEntry &e : entries) {
        zip_source_t *data = zip_source_buffer(archive, e.data.data(), e.data.size(), 0);
        zip_int64_t idx = data ? zip_file_add(archive, e.name.c_str(), data, ZIP_FL_ENC_UTF_8) : -1;
        if (idx < 0) {
            if (data) zip_source_free(data);
            std::string why = zip_strerror(archive);
            zip_discard(archive);
            throw std::runtime_error("zip: " + why);
        }
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(idx), ZIP_CM_DEFLATE, 1);
        zip_file_set_mtime(archive, static_cast<zip_uint64_t>(idx), fixedTime, 0);
    }
    if (zip_close(archive) != 0) {
        std::string why = zip_strerror(archive);
        zip_discard(archive);
        throw std::runtime_error("zip: " + why);
    }

    std::string out;
    zip_stat_t st;
    if (zip_source_stat(buffer, &st) != 0 || zip_source_open(buffer) != 0)
        throw std::runtime_error("zip: buffer");
    out.resize(st.size);
    zip_int64_t got = zip_source_read(buffer, out.data(), st.size);
    zip_source_close(buffer);
    if (got < 0 || static_cast<zip_uint64_t>(got) != st.size) throw std::runtime_error("zip: read");
    return out;
}

ZipReader::ZipReader(std::string_view bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!src) throw std::runtime_error(zipErrorText(&error));
    zip_t *archive = zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive) {
        zip_source_free(src);
        throw std::runtime_error(zipErrorText(&error));
    }
    zip_int64_t n = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(archive, i, 0, &st) != 0) continue;
        if (st.size > (1ull << 31)) {
            zip_close(archive);
            throw std::runtime_error("zip entry too large");
        }
        zip_file_t *f = zip_fopen_index(archive, i, 0);
        if (!f) {
            std::string why = zip_strerror(archive);
            zip_close(archive);
            throw std::runtime_error(why);
        }
        std::string data(st.size, '\0');
        zip_int64_t got = zip_fread(f, data.data(), st.size);
        // libzip checks the entry's CRC only when a read reaches the end of the entry, so
        // read once more: a damaged entry fails here instead of being taken as it is.
        char past = 0;
        zip_int64_t beyond = got >= 0 ? zip_fread(f, &past, 1) : 0;
        zip_fclose(f);
        if (got < 0 || static_cast<zip_uint64_t>(got) != st.size || beyond != 0) {
            // st.name belongs to the archive: the message is made before the archive closes.
            std::runtime_error damaged(std::string("damaged entry ") + st.name);
            zip_close(archive);
            throw damaged;
        }
        entries_[lower(st.name)] = std::move(data);
    }
    zip_close(archive);
}

std::optional<std::string> ZipReader::read(std::string_view name) const {
    auto it = entries_.find(lower(name));
    if (it == entries_.end()) return std::nullopt;
    return it->second;
}

} // namespace vandorix
