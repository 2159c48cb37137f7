#include "editors/editor_description.h"

#include "config/address_map.h"
#include "i18n/caption_list.h"
#include "link/commands.h"

#include <QSet>

namespace kesto {

QString Caption::text() const
{
    if (row >= 0 && row < CaptionList::current().rowCount()) {
        return caption(row);
    }
    return design;
}

QByteArray EditorDescription::readRequest() const
{
    return cmd::readRequest(answerType);
}

int EditorDescription::cellIndex(const QString &name) const
{
    for (int i = 0; i < cells.size(); ++i) {
        if (cells.at(i).name == name) {
            return i;
        }
    }
    return -1;
}

int EditorDescription::listIndex(const QString &name) const
{
    for (int i = 0; i < lists.size(); ++i) {
        if (lists.at(i).name == name) {
            return i;
        }
    }
    return -1;
}

QStringList EditorDescription::validate() const
{
    QStringList problems;
    const QList<int> answered = answerAddresses(answerType);
    if (answered.isEmpty()) {
        problems << QStringLiteral("answer type %1 has no address ranges").arg(answerType);
    }

    QSet<QString> names;
    QSet<int> addresses;
    auto claim = [&](const QString &name, int address) {
        if (names.contains(name)) {
            problems << QStringLiteral("%1 appears twice").arg(name);
        }
        names.insert(name);
        if (addresses.contains(address)) {
            problems << QStringLiteral("address %1 is held by two cells").arg(address);
        }
        addresses.insert(address);
        if (!answered.contains(address)) {
            problems << QStringLiteral("%1 at %2 is not in the %3 answer")
                            .arg(name)
                            .arg(address)
                            .arg(answerType);
        }
    };
    for (const CellSpec &c : cells) {
        claim(c.name, c.address);
        if (encoding::isList(c.encoding)) {
            problems << QStringLiteral("%1 is a text cell with a list encoding").arg(c.name);
        }
    }
    for (const ListCellSpec &l : lists) {
        claim(l.name, l.address);
        if (!encoding::isList(l.encoding)) {
            problems << QStringLiteral("%1 is a list cell with a numeric encoding").arg(l.name);
        }
    }

    for (const WriteBlock &w : writes) {
        for (int i = 0; i < w.cells.size(); ++i) {
            const QString &name = w.cells.at(i);
            const int ci = cellIndex(name);
            const int li = listIndex(name);
            if (ci < 0 && li < 0) {
                problems << QStringLiteral("write block %1 names unknown %2")
                                .arg(w.firstAddress)
                                .arg(name);
                continue;
            }
            const int address = ci >= 0 ? cells.at(ci).address : lists.at(li).address;
            if (address != w.firstAddress + i) {
                problems << QStringLiteral("write block %1 puts %2 (address %3) at %4")
                                .arg(w.firstAddress)
                                .arg(name)
                                .arg(address)
                                .arg(w.firstAddress + i);
            }
        }
    }

    for (const ChartSpec &chart : charts) {
        for (const SeriesSpec &s : chart.series) {
            if (!s.labelCells.isEmpty() && s.labelCells.size() != s.valueCells.size()) {
                problems << QStringLiteral("%1 has %2 labels for %3 values")
                                .arg(s.name)
                                .arg(s.labelCells.size())
                                .arg(s.valueCells.size());
            }
            if (!s.fixedLabels.isEmpty() && s.fixedLabels.size() != s.valueCells.size()) {
                problems << QStringLiteral("%1 has %2 fixed labels for %3 values")
                                .arg(s.name)
                                .arg(s.fixedLabels.size())
                                .arg(s.valueCells.size());
            }
            if (!s.sourceWindow.isEmpty()) {
                continue; // another editor's cells
            }
            for (const QString &name : s.valueCells + s.labelCells) {
                if (cellIndex(name) < 0) {
                    problems << QStringLiteral("%1 draws unknown cell %2").arg(s.name, name);
                }
            }
        }
    }

    for (const NavigationSpec &n : navigation) {
        if (n.target.isEmpty() || n.command.isEmpty() || n.button.isEmpty()) {
            problems << QStringLiteral("navigation button %1 is incomplete").arg(n.button);
        }
    }
    return problems;
}

} // namespace kesto
