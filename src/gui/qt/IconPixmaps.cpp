#include "gui/qt/IconPixmaps.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QPixmap>

namespace nv::gui {

QIcon IconFromGroup(const platform::IconGroup& group) {
    QIcon icon;
    for (const platform::IconImage& image : group.images) {
        platform::IconGroup single;
        single.images.push_back(image);
        const std::vector<std::uint8_t> ico = single.ToIcoFile();
        QByteArray bytes(reinterpret_cast<const char*>(ico.data()),
                         static_cast<qsizetype>(ico.size()));
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, "ico");
        const QImage decoded = reader.read();
        if (!decoded.isNull()) {
            icon.addPixmap(QPixmap::fromImage(decoded));
        }
    }
    return icon;
}

QIcon IconFromModule(const platform::ResourceModule* module, UINT id) {
    if (module == nullptr) {
        return {};
    }
    const auto group = module->LoadIconGroup(id);
    return group ? IconFromGroup(*group) : QIcon();
}

} // namespace nv::gui
