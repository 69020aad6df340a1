#pragma once
// "ChartView": items of a name and a value drawn as a pie ("view" = "pie") or
// as bars ("view" = "histpgram"), with the names when "showtext" is true.

#include <QWidget>
#include <vector>

namespace rxt::ui {

class CChartViewUI : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString view READ view WRITE setView)
    Q_PROPERTY(QString showtext READ showTextText WRITE setShowTextText)
    Q_PROPERTY(QString showhtml MEMBER showHtml_)
    Q_PROPERTY(QString shadowimage MEMBER shadowImage_)
    Q_PROPERTY(QString shadowimageheight MEMBER shadowImageHeight_)
    Q_PROPERTY(QString pillarimage MEMBER pillarImage_)
    Q_PROPERTY(QString pillarimagewidth MEMBER pillarImageWidth_)

  public:
    struct ChartItem {
        QString name;
        double value = 0;
    };

    explicit CChartViewUI(QWidget* parent = nullptr);

    void addItem(const QString& name, double value);
    void clearItems();
    const std::vector<ChartItem>& items() const { return items_; }

    QString view() const { return pie_ ? QStringLiteral("pie") : QStringLiteral("histpgram"); }
    void setView(const QString& view);
    QString showTextText() const { return showText_ ? "true" : "false"; }
    void setShowTextText(const QString& t) { showText_ = t == "true" || t == "1"; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<ChartItem> items_;
    bool pie_ = true;
    bool showText_ = true;
    QString showHtml_;
    QString shadowImage_;
    QString shadowImageHeight_;
    QString pillarImage_;
    QString pillarImageWidth_;
};

}  // namespace rxt::ui
