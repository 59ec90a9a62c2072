// A small window that drags a file away as a file manager does: pressed,
// it starts a drag of the file named on its command line (a file URL), so
// that a test can drop it on another program with the pointer alone.
//   drag_source FILE
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include <cstdio>

namespace {

class DragSource : public QLabel
{
public:
    explicit DragSource(QString path) : QLabel(QStringLiteral("Húzd a viccet!")), FPath(std::move(path))
    {
        setWindowTitle(QStringLiteral("drag-source"));
        setAlignment(Qt::AlignCenter);
        resize(200, 120);
    }

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        auto *data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(FPath)});
        auto *drag = new QDrag(this);
        drag->setMimeData(data);
        // Tells the test when the window under the pointer takes the file:
        // a release before that is a refused drop.
        QObject::connect(drag, &QDrag::actionChanged, [](Qt::DropAction action) {
            std::printf("%s\n", action == Qt::CopyAction ? "accepted" : "not accepted");
            std::fflush(stdout);
        });
        const Qt::DropAction done = drag->exec(Qt::CopyAction);
        // Tells the test how the drop ended.
        std::printf("%s\n", done == Qt::CopyAction ? "dropped" : "refused");
        std::fflush(stdout);
    }

private:
    QString FPath;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    DragSource source(QString::fromLocal8Bit(argv[1]));
    source.move(0, 0);
    source.show();
    return app.exec();
}
