// The Qt Designer plugin: the control and the item view in Designer's widget
// box, each with an icon drawn in code and a sensible default size.
#pragma once

#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QObject>

#include <functional>

// One widget of the collection.
class TavrinWidgetEntry : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)
  public:
    struct Description {
        QString className, header, toolTip, xml;
        QColor colour;
        std::function<QWidget*(QWidget*)> create;
    };
    TavrinWidgetEntry(Description description, QObject* parent);

    QString name() const override { return d_.className; }
    QString group() const override { return QStringLiteral("Tavrin"); }
    QString toolTip() const override { return d_.toolTip; }
    QString whatsThis() const override { return d_.toolTip; }
    QString includeFile() const override { return d_.header; }
    QIcon icon() const override;
    bool isContainer() const override { return false; }
    QWidget* createWidget(QWidget* parent) override { return d_.create(parent); }
    QString domXml() const override { return d_.xml; }

  private:
    Description d_;
};

class TavrinDesignerPlugin : public QObject, public QDesignerCustomWidgetCollectionInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)
  public:
    explicit TavrinDesignerPlugin(QObject* parent = nullptr);
    QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return widgets_; }

  private:
    QList<QDesignerCustomWidgetInterface*> widgets_;
};
