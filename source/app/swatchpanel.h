#pragma once

#include <QRect>
#include <QSize>
#include <QWidget>

struct PictureState;

// The sixteen colour indices of a palette, named as the Apple II lo-res
// colours that share their dot patterns.
enum MRVO_ColorType : quint8 {
    ColorBlack, ColorMagenta, ColorDarkBlue, ColorPurple,
    ColorDarkGreen, ColorGrey1, ColorMediumBlue, ColorLightBlue,
    ColorBrown, ColorOrange, ColorGrey2, ColorPink,
    ColorGreen, ColorYellow, ColorAqua, ColorWhite,
};

// Swatch geometry: 24-pixel squares on a 26-pixel pitch inside a 4-pixel
// margin, columns across (1 docked, 8 floating).
QRect swatchRect(int index, int columns);
QSize swatchPanelSize(int columns);
// The swatch whose square holds the point, or -1 for the gaps and margins.
int swatchAt(QPoint point, int columns);

// The colours of the current palette as clickable squares; a click chooses
// the pencil colour.
class SwatchPanel : public QWidget {
    Q_OBJECT

public:
    SwatchPanel(QWidget *parent, const PictureState *pictureState);

    int selectedIndex() const { return m_selectedIndex; }
    int columns() const { return m_columns; }

public Q_SLOTS:
    void setFloating(bool floating);
    // Highlights the pencil's colour, also one chosen elsewhere (the
    // eyedropper).
    void setSelectedIndex(int index);

Q_SIGNALS:
    void colorSelected(MRVO_ColorType colorType);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    const PictureState *m_pictureState;
    quint8 m_selectedIndex = ColorWhite;
    int m_columns = 1;
};
