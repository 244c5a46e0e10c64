#include "ui/ZORBELGroupBox.h"

#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QImageReader>
#include <QPixmap>
#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------- geometry

std::vector<QRect> ArrangeButtonRects(int count, int columns, int pictureLeft, int groupHeight, int textHeight) {
    std::vector<QRect> rects;
    if (count <= 0 || columns <= 0) return rects;
    const int rows = (count + columns - 1) / columns;
    const int columnWidth = (pictureLeft - 10) / columns;
    const int inner = groupHeight - textHeight - 5;
    const int rowHeight = inner / rows;
    const int topOffset = (inner % rows) / 2 + textHeight + 1;
    for (int i = 0; i < count; ++i)
        rects.emplace_back((i / rows) * columnWidth + 8, (i % rows) * rowHeight + topOffset, columnWidth, rowHeight);
    return rects;
}

PicturePlacement ArrangePictureRect(QSize group, QSize picture, int maxImageSize) {
    int side = std::min(group.width() / 2 - 20, group.height() - 20);
    if (maxImageSize != -1 && maxImageSize < side) side = maxImageSize;
    PicturePlacement p;
    // A group too small for any picture shows none rather than dividing by
    // a side of zero.
    if (side <= 0) {
        p.fits = false;
        p.rect = QRect(group.width() - 10, group.height() / 2 + 2, 0, 0);
        return p;
    }
    const int pw = std::max(0, picture.width()), ph = std::max(0, picture.height());
    p.stretch = pw > side || ph > side;
    int w = p.stretch ? side : pw;
    int h = p.stretch ? side : ph;
    if (pw > 0 && ph > 0) {
        const double r = double(pw) / double(ph);
        if (r < 1.0) w = int(std::lround(side * r));
        h = int(std::lround(w / r));
    }
    p.rect = QRect(group.width() - w - 10, (group.height() - h) / 2 + 2, w, h);
    return p;
}

// ---------------------------------------------------------------- buttons

TGroupButton::TGroupButton(TCustomZORBELGroupBox* group) : QRadioButton(group), m_group(group) {
    setAutoExclusive(false);
}

void TGroupButton::keyPressEvent(QKeyEvent* event) {
    const bool editKey = event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Space;
    if (editKey && !m_group->CanModify()) {
        event->accept();
        return;
    }
    // The arrow keys move the choice through the group, as in every radio
    // group: up and left to the item before, down and right to the next.
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left: step = -1; break;
    case Qt::Key_Down:
    case Qt::Key_Right: step = 1; break;
    default: break;
    }
    if (step != 0 && event->modifiers() == Qt::NoModifier) {
        m_group->StepFrom(this, step);
        event->accept();
        return;
    }
    QRadioButton::keyPressEvent(event);
}

// ---------------------------------------------------------------- group

TCustomZORBELGroupBox::TCustomZORBELGroupBox(QWidget* parent) : QGroupBox(parent) {
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Picture"));
    // A picture smaller than its control stands in the control's middle.
    m_picture->setAlignment(Qt::AlignCenter);
}

void TCustomZORBELGroupBox::SetItems(const QStringList& items) {
    m_items = items;
    ItemsChange();
}

void TCustomZORBELGroupBox::SetItemIndex(int index) {
    if (m_reading) {
        m_itemIndex = index;
        return;
    }
    index = std::clamp(index, -1, int(m_items.size()) - 1);
    CheckButton(m_itemIndex, false);
    m_itemIndex = index;
    CheckButton(m_itemIndex, true);
    UpdateTabStop();
    // The picture shows the item chosen, by the program as by a click.
    LoadPicture();
}

// The group is one stop of the tab order: the chosen button, or the first
// one while nothing is chosen; the arrow keys reach the others.
void TCustomZORBELGroupBox::UpdateTabStop() {
    const int stop = m_itemIndex >= 0 && m_itemIndex < ButtonCount() ? m_itemIndex : 0;
    for (int i = 0; i < ButtonCount(); ++i)
        m_buttons[size_t(i)]->setFocusPolicy(i == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

void TCustomZORBELGroupBox::StepFrom(TGroupButton* button, int step) {
    const int count = ButtonCount();
    if (count == 0 || !CanModify()) return;
    const auto it = std::find(m_buttons.begin(), m_buttons.end(), button);
    const int from = it == m_buttons.end() ? std::max(m_itemIndex, 0) : int(it - m_buttons.begin());
    TGroupButton* target = m_buttons[size_t(((from + step) % count + count) % count)];
    if (!target->isEnabled()) return;
    target->setFocus(Qt::TabFocusReason);
    ButtonClicked(target);
}

void TCustomZORBELGroupBox::CheckButton(int index, bool checked) {
    if (index < 0 || index >= ButtonCount()) return;
    m_updating = true;
    m_buttons[size_t(index)]->setChecked(checked);
    m_updating = false;
}

void TCustomZORBELGroupBox::SetColumns(int columns) {
    m_columns = std::clamp(columns, 1, 16);
    ArrangeButtons();
}

void TCustomZORBELGroupBox::SetEnabled(bool enabled) {
    m_enabled = enabled;
    m_enabledAssigned = true;
    LoadPicture();
    for (TGroupButton* b : m_buttons) b->setEnabled(m_enabled);
}

void TCustomZORBELGroupBox::SetPicturePath(const QString& path) {
    m_picturePath = path;
    LoadPicture();
}

void TCustomZORBELGroupBox::SetPictureFileNames(const QStringList& names) { m_pictureFileNames = names; }

void TCustomZORBELGroupBox::EndReading() {
    m_reading = false;
    m_itemIndex = std::clamp(m_itemIndex, -1, int(m_items.size()) - 1);
    UpdateButtons();
}

bool TCustomZORBELGroupBox::HasPicture() const { return !m_picture->pixmap().isNull(); }

void TCustomZORBELGroupBox::ItemsChange() {
    if (m_reading) return;
    if (m_itemIndex >= m_items.size()) m_itemIndex = int(m_items.size()) - 1;
    UpdateButtons();
}

void TCustomZORBELGroupBox::UpdateButtons() {
    while (ButtonCount() < m_items.size()) {
        auto* b = new TGroupButton(this);
        b->setEnabled(m_enabled || !m_enabledAssigned);
        connect(b, &QAbstractButton::clicked, this, [this, b] { ButtonClicked(b); });
        m_buttons.push_back(b);
    }
    while (ButtonCount() > m_items.size()) {
        delete m_buttons.back();
        m_buttons.pop_back();
    }
    for (int i = 0; i < ButtonCount(); ++i) {
        m_buttons[size_t(i)]->setText(m_items[i]);
        CheckButton(i, i == m_itemIndex);
    }
    UpdateTabStop();
    LoadPicture();
    update();
}

void TCustomZORBELGroupBox::ArrangeButtons() {
    if (m_reading || m_buttons.empty()) return;
    const std::vector<QRect> rects = ArrangeButtonRects(ButtonCount(), m_columns, m_picture->x(), height(),
                                                        fontMetrics().height());
    for (size_t i = 0; i < rects.size(); ++i) {
        m_buttons[i]->setGeometry(rects[i]);
        m_buttons[i]->setVisible(true);
    }
}

void TCustomZORBELGroupBox::ArrangePicture() {
    const QPixmap pixmap = m_picture->pixmap();
    const PicturePlacement p = ArrangePictureRect(size(), pixmap.size(), m_maxImageSize);
    m_picture->setScaledContents(p.stretch);
    m_picture->setGeometry(p.rect);
    m_picture->setVisible(p.fits && !pixmap.isNull());
}

// The buttons are laid out again with the picture, so that they never run
// under a picture that has just changed its width. A picture already shown
// is not read and decoded again: the group's settings each ask for it.
void TCustomZORBELGroupBox::LoadPicture() {
    QString path;
    if (m_enabled && m_itemIndex >= 0 && m_itemIndex < m_pictureFileNames.size()) {
        path = m_picturePath;
        if (!path.isEmpty() && !path.endsWith(u'/') && !path.endsWith(u'\\')) path += u'/';
        path += m_pictureFileNames[m_itemIndex];
        if (!QFileInfo(path).isFile()) path.clear();
    }
    if (path.isEmpty() || path != m_shownPicture) {
        QPixmap pixmap;
        if (!path.isEmpty()) {
            // Read by the decoder its name asks for: probing the contents
            // would load every image plugin first. A file that is not what
            // its name says is probed after all.
            QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
            reader.setAutoDetectImageFormat(false);
            const QImage image = reader.read();
            if (!image.isNull()) pixmap = QPixmap::fromImage(image);
            else pixmap.load(path);
        }
        m_picture->setPixmap(pixmap);
        if (pixmap.isNull()) m_picture->clear();
        m_shownPicture = pixmap.isNull() ? QString() : path;
    }
    ArrangePicture();
    ArrangeButtons();
}

void TCustomZORBELGroupBox::ButtonClicked(TGroupButton* button) {
    if (m_updating) return;
    if (m_clicking || !CanModify()) {
        // The click toggled the button itself; show the group's choice again.
        for (int i = 0; i < ButtonCount(); ++i) CheckButton(i, i == m_itemIndex);
        return;
    }
    m_clicking = true;
    const auto it = std::find(m_buttons.begin(), m_buttons.end(), button);
    SetItemIndex(int(it - m_buttons.begin()));
    emit Clicked();
    LoadPicture();
    m_clicking = false;
}

void TCustomZORBELGroupBox::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    ArrangePicture();
    ArrangeButtons();
}

void TCustomZORBELGroupBox::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        ArrangePicture();
        ArrangeButtons();
    }
}
