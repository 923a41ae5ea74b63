#include "windows/FloatMsgText.h"

#include <QLineEdit>
#include <QProcess>
#include <QtTest>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

// The real FloatMsg program on a real X server (no window manager): its window must
// appear with the message, leave the keyboard focus where it was, and go away by itself.

namespace {

template <typename T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

class XServer
{
public:
    XServer() : m_conn(xcb_connect(nullptr, nullptr)) {}
    ~XServer() { xcb_disconnect(m_conn); }
    bool ok() const { return xcb_connection_has_error(m_conn) == 0; }

    xcb_atom_t atom(const char* name)
    {
        XcbReply<xcb_intern_atom_reply_t> r(
            xcb_intern_atom_reply(m_conn, xcb_intern_atom(m_conn, 0, uint16_t(strlen(name)), name), nullptr),
            &std::free);
        return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    xcb_window_t focus()
    {
        XcbReply<xcb_get_input_focus_reply_t> r(
            xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr), &std::free);
        return r ? r->focus : xcb_window_t(XCB_WINDOW_NONE);
    }

    // The viewable top-level window of process `pid`, or none.
    xcb_window_t viewableWindowOf(qint64 pid)
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
        XcbReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_conn, xcb_query_tree(m_conn, root), nullptr), &std::free);
        if (!tree)
            return XCB_WINDOW_NONE;
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        const xcb_atom_t pidAtom = atom("_NET_WM_PID");
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            const QByteArray value = property(children[i], pidAtom, XCB_ATOM_CARDINAL);
            if (value.size() != 4 || *reinterpret_cast<const uint32_t*>(value.constData()) != uint32_t(pid))
                continue;
            XcbReply<xcb_get_window_attributes_reply_t> attrs(
                xcb_get_window_attributes_reply(m_conn, xcb_get_window_attributes(m_conn, children[i]),
                                                nullptr),
                &std::free);
            if (attrs && attrs->map_state == XCB_MAP_STATE_VIEWABLE)
                return children[i];
        }
        return XCB_WINDOW_NONE;
    }

    QString title(xcb_window_t window)
    {
        return QString::fromUtf8(property(window, atom("_NET_WM_NAME"), atom("UTF8_STRING")));
    }

private:
    QByteArray property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
    {
        XcbReply<xcb_get_property_reply_t> r(
            xcb_get_property_reply(m_conn, xcb_get_property(m_conn, 0, window, name, type, 0, 1024), nullptr),
            &std::free);
        if (!r)
            return {};
        return QByteArray(static_cast<const char*>(xcb_get_property_value(r.get())),
                          xcb_get_property_value_length(r.get()));
    }

    xcb_connection_t* m_conn;
};

} // namespace

class FloatMsgTest : public QObject
{
    Q_OBJECT

private slots:
    void showsWithoutTakingFocusAndEnds_data();
    void showsWithoutTakingFocusAndEnds();
};

void FloatMsgTest::showsWithoutTakingFocusAndEnds_data()
{
    QTest::addColumn<QString>("message");
    QTest::newRow("save") << QStringLiteral("자료가 저장되었습니다.");
    QTest::newRow("marker in message") << QStringLiteral("검색/T결과");
}

void FloatMsgTest::showsWithoutTakingFocusAndEnds()
{
    QFETCH(QString, message);
    XServer x;
    QVERIFY(x.ok());

    QLineEdit typing;
    typing.setWindowTitle(QStringLiteral("client"));
    typing.show();
    typing.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&typing));
    typing.setFocus();
    QTRY_COMPARE(x.focus(), xcb_window_t(typing.winId()));

    QProcess program;
    program.start(qEnvironmentVariable("AS_BIN_DIR") + QStringLiteral("/FloatMsg"),
                  {FloatMsgParameter(message, 1500)});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    const qint64 pid = program.processId();

    xcb_window_t shown = XCB_WINDOW_NONE;
    QTRY_VERIFY_WITH_TIMEOUT((shown = x.viewableWindowOf(pid)) != XCB_WINDOW_NONE, 10000);
    QCOMPARE(x.title(shown), message);
    QTest::qWait(200); // let any focus change reach this process
    QCOMPARE(x.focus(), xcb_window_t(typing.winId()));
    QVERIFY(typing.isActiveWindow());
    QVERIFY(typing.hasFocus());

    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(x.viewableWindowOf(pid), XCB_WINDOW_NONE);
    QVERIFY(typing.isActiveWindow());
}

QTEST_MAIN(FloatMsgTest)
#include "tst_floatmsg.moc"
