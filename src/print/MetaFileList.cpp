// The page store of the print preview.
#include "print/MetaFileList.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryFile>
#include <stdexcept>

namespace {

void Check(bool ok, const char *what)
{
    if (!ok)
        throw std::runtime_error(what);
}

} // namespace

TMetaFileList::TMetaFileList() = default;

TMetaFileList::~TMetaFileList()
{
    Clear();
}

std::unique_ptr<QIODevice> TMetaFileList::NewStream(bool tempFile)
{
    if (!tempFile) {
        auto buffer = std::make_unique<QBuffer>();
        buffer->open(QIODevice::ReadWrite);
        return buffer;
    }
    auto file =
        std::make_unique<QTemporaryFile>(QDir::temp().filePath(QStringLiteral("TMPXXXXXX")));
    Check(file->open(), "Cannot create the page file");
    file->fileName(); // gives the file its "TMP..." name in the folder at once
    return file;
}

void TMetaFileList::Add(const QPicture &page)
{
    if (!m_stream)
        m_stream = NewStream(m_useTempFile);
    const qint64 end = m_stream->size();
    Check(m_stream->seek(end), "Cannot write the page file");
    const qint64 size = page.size();
    Check(m_stream->write(page.data(), size) == size, "Cannot write the page file");
    m_positions.append(end);
}

const QPicture &TMetaFileList::Page(int index)
{
    if (index == m_cachedIndex)
        return m_cached;
    m_cached = QPicture();
    m_cachedIndex = -1;
    if (index < 0 || index >= Count())
        return m_cached;
    const qint64 start = m_positions[index];
    const qint64 end = index + 1 < Count() ? m_positions[index + 1] : m_stream->size();
    if (m_stream->seek(start)) {
        const QByteArray bytes = m_stream->read(end - start);
        if (bytes.size() == end - start) {
            m_cached.setData(bytes.constData(), uint(bytes.size()));
            m_cachedIndex = index;
        }
    }
    return m_cached;
}

void TMetaFileList::Clear()
{
    m_positions.clear();
    m_stream.reset(); // a temporary file removes itself here
    m_cached = QPicture();
    m_cachedIndex = -1;
}

void TMetaFileList::SetUseTempFile(bool on)
{
    if (on == m_useTempFile)
        return;
    if (m_stream) {
        std::unique_ptr<QIODevice> moved = NewStream(on);
        Check(m_stream->seek(0), "Cannot read the page file");
        while (!m_stream->atEnd()) {
            const QByteArray chunk = m_stream->read(1 << 20);
            Check(!chunk.isEmpty() && moved->write(chunk) == chunk.size(), "Cannot move the pages");
        }
        m_stream = std::move(moved); // the old temporary file, if any, goes here
    }
    m_useTempFile = on;
}

QString TMetaFileList::TempFileName() const
{
    const auto *file = dynamic_cast<const QTemporaryFile *>(m_stream.get());
    return file ? file->fileName() : QString();
}
