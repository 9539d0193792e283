// The pages of a print preview, kept as serialised vector drawings back to
// back in one stream (memory or a temporary file), so that a long document
// holds no drawing object per page: only the page asked for is loaded, into
// one cached picture.
#pragma once

#include <QIODevice>
#include <QList>
#include <QPicture>
#include <QString>
#include <memory>

class QTemporaryFile;

class TMetaFileList
{
public:
    TMetaFileList();
    ~TMetaFileList();
    TMetaFileList(const TMetaFileList &) = delete;
    TMetaFileList &operator=(const TMetaFileList &) = delete;

    // Appends a recorded page at the end of the stream.
    void Add(const QPicture &page);
    int Count() const { return int(m_positions.size()); }
    // Page `index` (0-based) loaded into the cached picture; an index out
    // of range gives an empty picture. Valid until the next call.
    const QPicture &Page(int index);
    // Forgets every page, frees the stream and deletes the temporary file.
    void Clear();

    // Pages in a temporary file ("TMP..." in the temporary folder) rather
    // than in memory. Switching with pages present moves them over.
    bool UseTempFile() const { return m_useTempFile; }
    void SetUseTempFile(bool on);
    // The temporary file's name, empty while there is none.
    QString TempFileName() const;

private:
    static std::unique_ptr<QIODevice> NewStream(bool tempFile);

    bool m_useTempFile = false;
    std::unique_ptr<QIODevice> m_stream;
    QList<qint64> m_positions;
    QPicture m_cached;
    int m_cachedIndex = -1;
};
