#include "gui/qt/DialogView.h"

#include "platform/ui/ComboBox.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/UpDown.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>
#include <set>

namespace nv::gui {
namespace {

using platform::Change;
using platform::ControlKind;

constexpr const char* kControlIdProperty = "nvControlId";

QString Text(const CString& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

CString Bytes(const QString& text) {
    return text.toUtf8().toStdString();
}

QString ObjectName(int id) {
    return QStringLiteral("ctl%1").arg(id);
}

// An edit that passes its arrow keys to the up-down control working on it, as the platform's
// up-down control with arrow-key handling does.
class SpinEdit final : public QLineEdit {
public:
    std::function<void(bool up)> onStep;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (onStep && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
            onStep(event->key() == Qt::Key_Up);
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
};

// A label that cuts its text with an ellipsis at the end when it has less room than the text
// needs, and shows the whole text as its tool tip then.
class ElidingLabel final : public QLabel {
public:
    explicit ElidingLabel(QWidget* parent) : QLabel(parent) {}

    QSize minimumSizeHint() const override {
        return {fontMetrics().horizontalAdvance(QStringLiteral("...")),
                QLabel::minimumSizeHint().height()};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QString shown =
            fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
        setToolTip(shown == text() ? QString() : text());
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                       QPalette::WindowText));
        painter.drawText(contentsRect(), static_cast<int>(alignment()), shown);
    }
};

} // namespace

DialogView::DialogView(platform::DialogSurface& surface, const DialogLayout& layout,
                       IconResolver icons, const QIcon& windowIcon, WindowHandlers handlers,
                       QWidget* parent)
    : QDialog(parent), surface_(surface), icons_(std::move(icons)), handlers_(std::move(handlers)),
      fallbackIcon_(windowIcon), defaultButton_(layout.defaultButton) {
    setObjectName(QStringLiteral("dialog%1").arg(layout.templateId));
    MirrorWindowIcon();
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(false);
    maximumTextWidth_ = fontMetrics().averageCharWidth() * layout.maximumTextColumns;
    Build(layout);
    for (int id : layout.elidedLabels) {
        if (QWidget* label = ControlWidget(id)) {
            label->setMaximumWidth(maximumTextWidth_);
        }
    }
    for (int id : surface_.ControlIds()) {
        MirrorControl(id);
    }
    MirrorTitle();
    MirrorWindowIcon();
    surface_.SetObserver([this](int id, Change what) { Mirror(id, what); });
}

DialogView::~DialogView() {
    surface_.SetObserver({});
}

int DialogView::exec() {
    if (surface_.IsEnded()) {
        return surface_.GetEndResult();
    }
    QDialog::exec();
    return surface_.IsEnded() ? surface_.GetEndResult() : platform::IDCANCEL;
}

QWidget* DialogView::ControlWidget(int id) const {
    auto it = widgets_.find(id);
    return it == widgets_.end() ? nullptr : it->second;
}

void DialogView::Build(const DialogLayout& layout) {
    elided_.insert(layout.elidedLabels.begin(), layout.elidedLabels.end());
    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    content_ = new QWidget(this);
    outer->addWidget(content_);
    auto* column = new QVBoxLayout(content_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);

    // Up-down controls join the edit they work on.
    for (int id : surface_.ControlIds()) {
        if (const platform::UpDown* spin = surface_.GetUpDown(id)) {
            spinOfEdit_[spin->GetBuddy()] = id;
        }
    }

    std::set<int> placed;
    auto place = [&](int id) {
        placed.insert(id);
        if (auto it = spinOfEdit_.find(id); it != spinOfEdit_.end()) {
            placed.insert(it->second);
        }
    };
    for (const LayoutSection& section : layout.sections) {
        auto* grid = new QGridLayout;
        grid->setHorizontalSpacing(8);
        grid->setVerticalSpacing(6);
        if (section.headingId != 0 && surface_.GetDlgItem(section.headingId) != nullptr) {
            auto* heading = new QHBoxLayout;
            QWidget* label = CreateCellWidget(section.headingId);
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
            heading->addWidget(label);
            auto* line = new QFrame(content_);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            heading->addWidget(line, 1);
            column->addLayout(heading);
            place(section.headingId);
            grid->setContentsMargins(16, 0, 0, 0);
        }
        int row = 0;
        for (const LayoutRow& layoutRow : section.rows) {
            for (const LayoutCell& cell : layoutRow.cells) {
                auto* box = new QHBoxLayout;
                box->setSpacing(6);
                for (int id : cell.ids) {
                    if (id == kStretchCell) {
                        box->addStretch(1);
                        continue;
                    }
                    if (id != kProgramIconCell && surface_.GetDlgItem(id) == nullptr) {
                        continue;
                    }
                    box->addWidget(CreateCellWidget(id));
                    place(id);
                }
                grid->addLayout(box, row, cell.column, 1, cell.span);
            }
            ++row;
        }
        column->addLayout(grid);
    }

    // Controls the layout does not name still get drawn, below the rest.
    std::vector<int> rest;
    std::set<int> buttons(layout.leftButtons.begin(), layout.leftButtons.end());
    buttons.insert(layout.rightButtons.begin(), layout.rightButtons.end());
    for (int id : surface_.ControlIds()) {
        if (placed.count(id) == 0 && buttons.count(id) == 0) {
            rest.push_back(id);
        }
    }
    if (!rest.empty()) {
        auto* grid = new QGridLayout;
        int row = 0;
        for (int id : rest) {
            if (placed.count(id) != 0) {
                continue;
            }
            grid->addWidget(CreateCellWidget(id), row++, 0);
            place(id);
        }
        column->addLayout(grid);
    }

    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(6);
    for (int id : layout.leftButtons) {
        if (surface_.GetDlgItem(id) != nullptr) {
            buttonRow->addWidget(CreateCellWidget(id));
        }
    }
    buttonRow->addStretch(1);
    for (int id : layout.rightButtons) {
        if (surface_.GetDlgItem(id) != nullptr) {
            buttonRow->addWidget(CreateCellWidget(id));
        }
    }
    column->addSpacing(4);
    column->addLayout(buttonRow);

    // While a job is sent: how far it is, and the one button that still takes a click.
    auto* busyRow = new QHBoxLayout;
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("jobProgress"));
    progress_->setRange(0, 1000);
    progress_->setTextVisible(true);
    progress_->hide();
    busyRow->addWidget(progress_, 1);
    cancelJob_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelJob_->setObjectName(QStringLiteral("jobCancel"));
    cancelJob_->setAutoDefault(false);
    cancelJob_->hide();
    connect(cancelJob_, &QPushButton::clicked, this, [this] { RequestJobCancel(); });
    busyRow->addWidget(cancelJob_);
    outer->addLayout(busyRow);

    for (const auto& [labelId, targetId] : layout.buddies) {
        auto* label = qobject_cast<QLabel*>(ControlWidget(labelId));
        QWidget* target = ControlWidget(targetId);
        if (label != nullptr && target != nullptr) {
            label->setBuddy(target);
        }
    }
    for (const auto& [id, width] : layout.minimumWidths) {
        if (QWidget* widget = ControlWidget(id)) {
            widget->setMinimumWidth(width);
        }
    }
    if (auto* button = qobject_cast<QPushButton*>(ControlWidget(defaultButton_))) {
        button->setDefault(true);
    }
}

QWidget* DialogView::CreateCellWidget(int id) {
    if (id == kProgramIconCell) {
        auto* label = new QLabel(content_);
        label->setObjectName(QStringLiteral("programIcon"));
        label->setPixmap(fallbackIcon_.pixmap(QSize(32, 32), devicePixelRatioF()));
        label->setAlignment(Qt::AlignTop);
        return label;
    }
    const platform::Control* control = surface_.GetDlgItem(id);
    QWidget* widget =
        elided_.count(id) != 0 ? new ElidingLabel(content_) : CreateControlWidget(*control);
    widget->setObjectName(ObjectName(id));
    widget->setProperty(kControlIdProperty, id);
    widgets_[id] = widget;
    auto spin = spinOfEdit_.find(id);
    if (spin == spinOfEdit_.end() || surface_.GetUpDown(spin->second) == nullptr) {
        return widget;
    }
    // An edit with its up-down control: the edit and a pair of arrows, drawn as one field.
    auto* pair = new QWidget(content_);
    auto* box = new QHBoxLayout(pair);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(widget, 1);
    QWidget* arrows = CreateSpinArrows(*surface_.GetUpDown(spin->second));
    box->addWidget(arrows);
    widgets_[spin->second] = arrows;
    MirrorControl(spin->second);
    return pair;
}

QWidget* DialogView::CreateSpinArrows(const platform::UpDown& spin) {
    const int id = spin.GetDlgCtrlID();
    auto* arrows = new QWidget(content_);
    arrows->setObjectName(ObjectName(id));
    arrows->setProperty(kControlIdProperty, id);
    auto* column = new QVBoxLayout(arrows);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    for (bool up : {true, false}) {
        auto* button = new QToolButton(arrows);
        button->setObjectName(ObjectName(id) +
                              (up ? QStringLiteral("up") : QStringLiteral("down")));
        button->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(18, 12);
        connect(button, &QToolButton::clicked, this,
                [this, id, up] { UserAction(id, [&] { surface_.StepSpin(id, up); }); });
        column->addWidget(button);
    }
    return arrows;
}

QWidget* DialogView::CreateControlWidget(const platform::Control& control) {
    const int id = control.GetDlgCtrlID();
    switch (control.kind()) {
    case ControlKind::Label: {
        auto* label = new QLabel(content_);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case ControlKind::StaticIcon: {
        auto* label = new QLabel(content_);
        label->setFixedSize(36, 36);
        label->setAlignment(Qt::AlignCenter);
        return label;
    }
    case ControlKind::Edit: {
        const auto& edit = static_cast<const platform::Edit&>(control);
        auto* line = new SpinEdit;
        line->setParent(content_);
        if (edit.IsPassword()) {
            line->setEchoMode(QLineEdit::Password);
        }
        if (edit.IsNumber()) {
            line->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9]*")), line));
            // Room for five digits; number fields do not stretch with the window.
            line->setFixedWidth(line->fontMetrics().horizontalAdvance(QStringLiteral("000000")) +
                                16);
        }
        line->setReadOnly(edit.IsReadOnly());
        if (auto spin = spinOfEdit_.find(id); spin != spinOfEdit_.end()) {
            const int spinId = spin->second;
            line->onStep = [this, spinId](bool up) {
                UserAction(spinId, [&] { surface_.StepSpin(spinId, up); });
            };
        }
        connect(line, &QLineEdit::textEdited, this, [this, id](const QString& text) {
            UserAction(id, [&] { surface_.TypeText(id, Bytes(text)); });
        });
        return line;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(content_);
        connect(box, &QCheckBox::clicked, this,
                [this, id] { UserAction(id, [&] { surface_.Click(id); }); });
        return box;
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(content_);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        combo->setMaximumWidth(maximumTextWidth_);
        connect(combo, &QComboBox::activated, this,
                [this, id](int index) { UserAction(id, [&] { surface_.PickItem(id, index); }); });
        return combo;
    }
    case ControlKind::PushButton: {
        auto* button = new QPushButton(content_);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this,
                [this, id] { UserAction(id, [&] { surface_.Click(id); }); });
        return button;
    }
    case ControlKind::UpDown:
        return CreateSpinArrows(static_cast<const platform::UpDown&>(control));
    }
    return new QWidget(content_);
}

template <typename Action>
void DialogView::UserAction(int id, Action action) {
    if (mirroring_ || busy_) {
        return;
    }
    action();
    MirrorControl(id);
}

void DialogView::Mirror(int id, Change what) {
    if (id == platform::DialogSurface::kDialogId) {
        if (what == Change::Title) {
            MirrorTitle();
        } else if (what == Change::Icon) {
            MirrorWindowIcon();
        } else if (what == Change::Ended) {
            done(surface_.GetEndResult());
        }
        return;
    }
    MirrorControl(id);
}

void DialogView::MirrorTitle() {
    setWindowTitle(Text(surface_.GetWindowText()));
}

void DialogView::MirrorWindowIcon() {
    const platform::IconHandle handle = surface_.GetIcon(true);
    const QIcon icon = handle != 0 && icons_ ? icons_(handle) : QIcon();
    setWindowIcon(icon.isNull() ? fallbackIcon_ : icon);
}

void DialogView::MirrorControl(int id) {
    const platform::Control* control = surface_.GetDlgItem(id);
    QWidget* widget = ControlWidget(id);
    if (control == nullptr || widget == nullptr) {
        return;
    }
    const bool wasMirroring = mirroring_;
    mirroring_ = true;
    const QSignalBlocker block(widget);
    // A disabled static icon is drawn as it is (only other controls grey out), so a binding
    // picture stays readable whatever the picture's enabled state.
    widget->setEnabled(control->kind() == ControlKind::StaticIcon ||
                       control->IsWindowEnabled() != 0);
    // A hidden edit hides its arrows with it; the arrows' own state is theirs.
    if (QWidget* field = widget->parentWidget();
        field != content_ && field != nullptr && control->kind() == ControlKind::Edit) {
        field->setVisible(control->IsWindowVisible() != 0);
    } else {
        widget->setVisible(control->IsWindowVisible() != 0);
    }
    switch (control->kind()) {
    case ControlKind::Label:
        static_cast<QLabel*>(widget)->setText(Text(control->GetWindowText()));
        break;
    case ControlKind::StaticIcon: {
        const auto icon = static_cast<const platform::StaticIcon*>(control)->GetIcon();
        auto* label = static_cast<QLabel*>(widget);
        const QIcon drawn = icon != 0 && icons_ ? icons_(icon) : QIcon();
        label->setPixmap(drawn.isNull() ? QPixmap()
                                        : drawn.pixmap(QSize(32, 32), devicePixelRatioF()));
        break;
    }
    case ControlKind::Edit: {
        auto* line = static_cast<QLineEdit*>(widget);
        const auto* edit = static_cast<const platform::Edit*>(control);
        const QString text = Text(edit->GetWindowText());
        if (line->text() != text) {
            const int cursor = line->cursorPosition();
            line->setText(text);
            line->setCursorPosition(std::min<int>(cursor, static_cast<int>(text.size())));
        }
        if (edit->GetLimitText() < platform::Edit::kDefaultLimit) {
            line->setMaxLength(edit->GetLimitText());
        }
        break;
    }
    case ControlKind::CheckBox:
        static_cast<QCheckBox*>(widget)->setText(Text(control->GetWindowText()));
        static_cast<QCheckBox*>(widget)->setChecked(
            static_cast<const platform::CheckBox*>(control)->GetCheck() == platform::BST_CHECKED);
        break;
    case ControlKind::ComboBox: {
        auto* combo = static_cast<QComboBox*>(widget);
        const auto* box = static_cast<const platform::ComboBox*>(control);
        QStringList items;
        for (const CString& item : box->items()) {
            items << Text(item);
        }
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i) {
            shown << combo->itemText(i);
        }
        if (items != shown) {
            combo->clear();
            combo->addItems(items);
        }
        combo->setCurrentIndex(box->GetCurSel());
        break;
    }
    case ControlKind::PushButton:
        static_cast<QPushButton*>(widget)->setText(Text(control->GetWindowText()));
        break;
    case ControlKind::UpDown:
        break;
    }
    mirroring_ = wasMirroring;
}

int DialogView::FocusedControlId() const {
    for (const QWidget* widget = focusWidget(); widget != nullptr && widget != this;
         widget = widget->parentWidget()) {
        const QVariant id = widget->property(kControlIdProperty);
        if (id.isValid()) {
            return id.toInt();
        }
    }
    return 0;
}

void DialogView::keyPressEvent(QKeyEvent* event) {
    if (busy_) {
        // While a job is sent, Escape stops it; every other key waits.
        if (event->key() == Qt::Key_Escape) {
            RequestJobCancel();
        }
        return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        Cancel();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // Enter presses the focused push button, else the default one.
        const int focused = FocusedControlId();
        const int id = surface_.GetPushButton(focused) != nullptr ? focused : defaultButton_;
        if (id != 0) {
            UserAction(id, [&] { surface_.Click(id); });
        }
        return;
    }
    case Qt::Key_F1:
        if (handlers_.onHelp) {
            handlers_.onHelp(FocusedControlId());
        }
        return;
    case Qt::Key_Help:
        // The keyboard's Help key is the Help command: the main topic, whatever has the focus.
        surface_.ChooseCommand(platform::ID_HELP);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void DialogView::reject() {
    if (busy_) {
        RequestJobCancel();
    } else {
        Cancel();
    }
}

void DialogView::RequestJobCancel() {
    if (busy_) {
        cancelRequested_ = true;
        cancelJob_->setEnabled(false);
    }
}

void DialogView::SetCancelJobText(const QString& text) {
    if (!text.isEmpty()) {
        cancelJob_->setText(text);
    }
}

void DialogView::Cancel() {
    if (surface_.IsEnded()) {
        return;
    }
    if (handlers_.onCancel) {
        handlers_.onCancel();
    } else {
        surface_.EndDialog(platform::IDCANCEL);
    }
}

void DialogView::closeEvent(QCloseEvent* event) {
    // The close box ends the dialog only through its cancel handling, as Escape does; the
    // window closes when the surface reports its end. While a job is sent it stops the job,
    // and the dialog stays.
    if (busy_) {
        RequestJobCancel();
    } else if (!surface_.IsEnded()) {
        Cancel();
    }
    if (surface_.IsEnded()) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}

void DialogView::contextMenuEvent(QContextMenuEvent* event) {
    const platform::SystemMenu* systemMenu = surface_.GetSystemMenu();
    if (busy_ || systemMenu == nullptr) {
        return;
    }
    // The program's additions to the system menu; a separator before the first item has
    // nothing to separate here.
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("systemMenu"));
    for (const platform::MenuItem& item : systemMenu->Items()) {
        if (item.separator) {
            if (!menu.isEmpty()) {
                menu.addSeparator();
            }
            continue;
        }
        QAction* action = menu.addAction(Text(item.text));
        action->setObjectName(QStringLiteral("sysCommand%1").arg(item.id));
        action->setData(item.id);
    }
    if (menu.actions().isEmpty()) {
        return;
    }
    if (QAction* chosen = menu.exec(event->globalPos())) {
        surface_.ChooseSystemCommand(chosen->data().toUInt());
    }
}

void DialogView::BeginBusy(std::uint64_t totalBytes) {
    busy_ = true;
    cancelRequested_ = false;
    cancelJob_->setEnabled(true);
    cancelJob_->show();
    totalBytes_ = totalBytes;
    content_->setEnabled(false);
    progress_->setRange(0, totalBytes == 0 ? 0 : 1000);
    progress_->setValue(0);
    progress_->show();
}

void DialogView::ShowProgress(std::uint64_t sentBytes) {
    if (totalBytes_ != 0) {
        const std::uint64_t done = std::min(sentBytes, totalBytes_);
        progress_->setValue(
            static_cast<int>(static_cast<double>(done) / static_cast<double>(totalBytes_) * 1000));
    }
}

void DialogView::EndBusy() {
    busy_ = false;
    cancelRequested_ = false;
    progress_->hide();
    cancelJob_->hide();
    content_->setEnabled(true);
}

} // namespace nv::gui
