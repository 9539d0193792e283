// The program's "Word.Basic": a small word processor on RTF. FileOpen reads
// the template (RTF; another format is converted by LibreOffice when it is
// installed), Insert adds text at the document's end, LineUp selects the
// inserted lines, TextToTable turns them into a real table, FileSaveAs
// writes the document. AppMaximize has the saved document shown in the
// desktop's word processor; AppMinimize and AppClose keep it in the
// background.
#pragma once

#include "protocol/Automation.h"

#include <QStringList>

class WordBasicServer : public AutomationObject
{
public:
    AutomationResult Call(const QString &member, const QVariantList &arguments,
                          const NamedArguments &named) override;
    void Put(const QString &property, const QVariant &value) override;
    void PutIndexed(const QString &property, const QVariantList &indices,
                    const QVariant &value) override;

    // Where a save name without folder goes: the user's documents folder.
    static QString SavePath(const QString &fileName);

private:
    void FileOpen(const QString &fileName);
    void Insert(const QString &text);
    void LineUp(int count, bool extend);
    void TextToTable(const NamedArguments &named);
    QString FileSaveAs(const QString &fileName);
    void RequireDocument() const;
    QByteArray DocumentContent() const;

    // A paragraph of inserted text, or a table made from such paragraphs.
    struct Block
    {
        QString paragraph;
        QList<QStringList> tableRows;
        int tableColumns = 0;
    };
    int TrailingParagraphs() const;

    bool m_showWhenSaved = false;
    bool m_open = false;
    QByteArray m_template; // the template without its closing brace
    QList<Block> m_blocks; // what was inserted, in order
    QString m_pending;     // inserted text not yet ended by a line break
    int m_selected = 0;    // paragraphs selected, counted from the end
};
