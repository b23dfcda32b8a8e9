#include "gui/qt/QtDialogHost.h"

#include "gui/qt/IconPixmaps.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <map>

namespace nv::gui {

QtDialogHost::QtDialogHost(const platform::ResourceModule* resources, QtMessageBox* messages)
    : resources_(resources), messages_(messages),
      programIcon_(IconFromModule(resources, res::icon::kProgram)),
      progress_([this] { return TopView(); }) {
    auto cache = std::make_shared<std::map<platform::IconHandle, QIcon>>();
    icons_ = [resources, cache](platform::IconHandle handle) {
        auto it = cache->find(handle);
        if (it == cache->end()) {
            it = cache->emplace(handle, IconFromModule(resources, static_cast<UINT>(handle))).first;
        }
        return it->second;
    };
}

int QtDialogHost::RunModal(platform::DialogSurface& surface, UINT templateId) {
    return RunModal(surface, templateId, WindowHandlers{});
}

int QtDialogHost::RunModal(platform::DialogSurface& surface, UINT templateId,
                           WindowHandlers handlers) {
    if (surface.IsEnded()) {
        return surface.GetEndResult();
    }
    static const DialogLayout kNoLayout;
    const DialogLayout* layout = LayoutForTemplate(templateId);
    QWidget* parent = TopView();
    DialogView view(surface, layout != nullptr ? *layout : kNoLayout, icons_, programIcon_,
                    std::move(handlers), parent);
    if (resources_ != nullptr) {
        view.SetCancelJobText(
            QString::fromStdString(resources_->LoadText(res::str::kCancelJobButton)));
    }
    views_.push_back(&view);
    QWidget* previousOwner = messages_ != nullptr ? messages_->Owner() : nullptr;
    if (messages_ != nullptr) {
        messages_->SetOwner(&view);
    }
    const int result = view.exec();
    if (messages_ != nullptr) {
        messages_->SetOwner(previousOwner);
    }
    views_.pop_back();
    return result;
}

} // namespace nv::gui
