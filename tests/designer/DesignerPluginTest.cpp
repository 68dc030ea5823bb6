// The Designer plugin loads like Designer loads it and creates both widgets.
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <QPluginLoader>
#include <QWidget>

#include <gtest/gtest.h>

TEST(DesignerPlugin, shouldOfferTheControlAndTheItemView)
{
    QPluginLoader loader(QStringLiteral(TAVRIN_DESIGNER_PLUGIN));
    ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
    ASSERT_NE(collection, nullptr);
    QStringList names;
    QWidget parent;
    for (auto* entry : collection->customWidgets()) {
        names << entry->name();
        EXPECT_FALSE(entry->icon().isNull());
        EXPECT_TRUE(entry->domXml().contains(entry->name()));
        QWidget* widget = entry->createWidget(&parent);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(QString::fromLatin1(widget->metaObject()->className()), entry->name());
    }
    EXPECT_EQ(names, QStringList({"TavrinIoCtl::ioctl", "TavrinDiagItem::DiagItemViewWrite"}));
}
