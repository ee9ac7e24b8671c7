#include "platform/qt/Style.h"

#include <algorithm>

#include <QFile>
#include <QXmlStreamReader>

#include "platform/forms/Util.h"
#include "platform/kernel/Paths.h"

namespace qv::qt {

QString toDisplayLines(const std::string& text) {
    QString s = qs(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar('\r'), QChar('\n'));
    return s;
}

std::string fromDisplayLines(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return ss(s);
}

QFont toQFont(const forms::Font& f) {
    QFont q(qs(f.Name));
    q.setPixelSize(std::max(1, forms::pixelRound(f.Size * 96.0 / 72.0)));
    q.setBold(f.Bold);
    q.setItalic(f.Italic);
    q.setUnderline(f.Underline);
    q.setStyleStrategy(QFont::NoAntialias);
    return q;
}

std::vector<std::pair<std::string, std::string>> readFontAliases(const std::string& path) {
    std::vector<std::pair<std::string, std::string>> out;
    QFile file(qs(path));
    if (!file.open(QIODevice::ReadOnly)) return out;
    QXmlStreamReader xml(&file);
    // Inside <alias>: the first <family> is the alias, the first <family> inside <prefer> the
    // face it stands for.
    QString alias, target;
    bool inAlias = false, inPrefer = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("alias")) {
                inAlias = true;
                alias.clear();
                target.clear();
            } else if (inAlias && xml.name() == QLatin1String("prefer")) {
                inPrefer = true;
            } else if (inAlias && xml.name() == QLatin1String("family")) {
                QString text = xml.readElementText().trimmed();
                if (!inPrefer && alias.isEmpty()) alias = text;
                else if (inPrefer && target.isEmpty()) target = text;
            }
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("prefer")) {
                inPrefer = false;
            } else if (xml.name() == QLatin1String("alias")) {
                if (!alias.isEmpty() && !target.isEmpty()) out.emplace_back(ss(alias), ss(target));
                inAlias = false;
            }
        }
    }
    if (xml.hasError()) out.clear();
    return out;
}

int registerFontSubstitutions() {
    int n = 0;
    for (const auto& [alias, target] : readFontAliases(kernel::programFolder() + "/fonts.conf")) {
        QFont::insertSubstitution(qs(alias), qs(target));
        ++n;
    }
    return n;
}

}  // namespace qv::qt
