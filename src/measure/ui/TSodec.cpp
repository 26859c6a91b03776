#include "measure/ui/TSodec.h"

#include "link/Link.h"
#include "measure/BalanceChart.h"
#include "measure/LinkInstrument.h"
#include "measure/MeasurementGrid.h"
#include "measure/MeasurementRun.h"
#include "measure/RunInstrument.h"
#include "shell/ui/Icons.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/DataFolder.h"
#include "shell/DayNumber.h"
#include "shell/Format.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolButton>
#include <QWindow>
#include <cmath>

namespace {
struct ButtonSpec {
  const char *caption, *hint;
};
const ButtonSpec kButtons[10] = {
    {"", ""},
    {"经络测量", "经络能量数据测量"},
    {"停止测量", "停止经络能量测量"},
    {"能量分析", "经络能量分析"},
    {"储存资料", "储存表格中能量资料"},
    {"读取资料", "读取数据库中资料"},
    {"清除数据", "清除表格中能量数据"},
    {"数据输入", "人工输入数据"},
    {"能量比对", "能量比对系统"},
    {"离  开", "离开经络量测系统"},
};

const char *const kSoundTexts[3] = {"  静音", "标准音", "  单音"}; // by SoundMode
const char *const kStyleTexts[4] = {"", " 照  片", " 图  像", " 合  成"};

QLabel *makeLabel(QWidget *parent, const QString &text, const QRect &geometry, const char *name = nullptr) {
  auto *l = new QLabel(text, parent);
  l->setGeometry(geometry);
  if (name)
    l->setObjectName(QString::fromLatin1(name));
  return l;
}

QLabel *makeLed(QWidget *parent, const QRect &geometry, const char *name, int pixelSize) {
  auto *l = makeLabel(parent, QStringLiteral("0.0"), geometry, name);
  l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  l->setStyleSheet(QStringLiteral("QLabel { background: #050a05; color: #36ff5a; border: 2px inset #556; "
                                  "font-family: 'DejaVu Sans Mono', monospace; font-weight: bold; "
                                  "font-size: %1px; padding-right: 6px; }")
                       .arg(pixelSize));
  return l;
}

QProgressBar *makeBar(QWidget *parent, const QRect &geometry, const char *name, const QColor &chunk) {
  auto *b = new QProgressBar(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setGeometry(geometry);
  b->setRange(0, 100);
  b->setValue(0);
  b->setTextVisible(false);
  b->setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid #778; background: #10141a; } "
                                  "QProgressBar::chunk { background: %1; }")
                       .arg(chunk.name()));
  return b;
}

QGroupBox *makeGroup(QWidget *parent, const QString &title, const QRect &geometry, const char *name) {
  auto *g = new QGroupBox(title, parent);
  g->setObjectName(QString::fromLatin1(name));
  g->setGeometry(geometry);
  return g;
}
} // namespace

// ---------------------------------------------------------------------------

BalanceChartBox::BalanceChartBox(QWidget *parent) : QWidget(parent), m_image(727, 179, QImage::Format_RGB32) {
  setFixedSize(727, 179);
  m_image.fill(Qt::black);
}

void BalanceChartBox::drawFrame(int spanMs, bool runActive) {
  QPainter p(&m_image);
  PaintBalanceChartFrame(p, m_image.width(), m_image.height(),
                         MakeBalanceChartFrame(m_image.width(), m_image.height(), spanMs, runActive));
  update();
}

void BalanceChartBox::drawTrace(const QPoint &from, const QPoint &to) {
  QPainter p(&m_image);
  p.setPen(BalanceTracePen());
  p.drawLine(from, to);
  update();
}

void BalanceChartBox::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.drawImage(0, 0, m_image);
}

RunLamp::RunLamp(QWidget *parent) : QWidget(parent), m_colour(60, 60, 60) { setFixedSize(18, 18); }

void RunLamp::setColour(const QColor &c) {
  m_colour = c;
  update();
}

void RunLamp::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient g(QPointF(6, 6), 10);
  g.setColorAt(0, m_colour.lighter(170));
  g.setColorAt(1, m_colour);
  p.setBrush(g);
  p.setPen(QPen(QColor(40, 40, 40), 1));
  p.drawEllipse(QRectF(1, 1, 16, 16));
}

// ---------------------------------------------------------------------------

TSodec::TSodec(AppContext &ctx, QWidget *parent, RunInstrument *instrument)
    : QDialog(parent), m_ctx(ctx), m_instrument(instrument) {
  setObjectName(QStringLiteral("Sodec"));
  setWindowTitle(QStringLiteral("经络测量"));
  setWindowFlag(Qt::Tool);
  setFixedSize(992, 706);
  if (!m_instrument) {
    m_ownInstrument = MakeLinkInstrument(ctx.link());
    m_instrument = m_ownInstrument.get();
  }
  m_run = std::make_unique<MeasurementRun>(ctx, *m_instrument, static_cast<MeasurementView &>(*this));
  buildUi();

  // Creating the window: header row, sensitivity, mode and menu images.
  for (int c = 1; c <= 12; ++c) {
    const int m = m_ctx.model.MeasuringOrder[c];
    m_grid->item(0, c)->setText(m >= 1 && m <= 12 ? m_ctx.model.MeridianTable[m].Name : QString());
  }
  setSensitivityPosition(int(std::lround(m_ctx.settings.Sensitivity * 10)));
  showModePicture();
  SetPictureStyle(m_ctx.settings.PictureStyle);
  SetSoundMode(m_ctx.settings.SoundMode);
  m_chart->drawFrame(BalanceChartSpan(m_ctx.settings), false);
}

TSodec::~TSodec() = default;

const QImage &TSodec::chartImage() const { return m_chart->image(); }

void TSodec::setWindowFactory(SubWindow w, WindowFactory factory) { m_factories[w] = std::move(factory); }

QWidget *TSodec::buildToolBar() {
  auto *bar = new QWidget(this);
  bar->setObjectName(QStringLiteral("ToolBar1"));
  bar->setGeometry(0, 0, 992, 86);
  bar->setAutoFillBackground(true);
  for (int k = 1; k <= 9; ++k) {
    auto *b = new QToolButton(bar);
    b->setObjectName(QStringLiteral("ToolButton%1").arg(k));
    b->setText(QString::fromUtf8(kButtons[k].caption));
    b->setToolTip(QString::fromUtf8(kButtons[k].hint));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setIcon(MeasureToolIcon(k));
    b->setIconSize(QSize(55, 52));
    b->setAutoRaise(true);
    b->setGeometry(6 + (k - 1) * 82 + (k >= 9 ? 24 : 0), 2, 80, 82);
    m_buttons[k] = b;
  }
  connect(m_buttons[MeasureButton], &QToolButton::clicked, this, &TSodec::RunMeasurement);
  connect(m_buttons[StopButton], &QToolButton::clicked, this, &TSodec::StopMeasurement);
  connect(m_buttons[AnalysisButton], &QToolButton::clicked, this, &TSodec::OpenAnalysis);
  connect(m_buttons[SaveButton], &QToolButton::clicked, this, &TSodec::OpenSave);
  connect(m_buttons[ReadButton], &QToolButton::clicked, this, &TSodec::OpenRecords);
  connect(m_buttons[ClearButton], &QToolButton::clicked, this, &TSodec::ClearData);
  connect(m_buttons[InputButton], &QToolButton::clicked, this, &TSodec::OpenManualEntry);
  connect(m_buttons[CompareButton], &QToolButton::clicked, this, &TSodec::OpenCompare);
  connect(m_buttons[ExitButton], &QToolButton::clicked, this, &QDialog::close);
  return bar;
}

void TSodec::buildUi() {
  buildToolBar();

  // Picture group.
  auto *pictureGroup = makeGroup(this, QStringLiteral("代表测定点图示"), QRect(6, 88, 240, 338), "PictureGroup");
  m_pictureGroup = pictureGroup;
  m_pictureArea = new QWidget(pictureGroup);
  m_pictureArea->setGeometry(2, 18, 236, 316);
  m_picture = makeLabel(m_pictureArea, QString(), QRect(9, 2, 217, 255), "PointPicture");
  m_picture->setFrameShape(QFrame::Box);
  m_picture->setScaledContents(true);
  m_picture->setStyleSheet(QStringLiteral("QLabel { background: white; border: 1px solid #889; }"));
  m_pictureCaption1 = makeLabel(m_pictureArea, QString(), QRect(4, 262, 228, 22), "PictureCaption1");
  m_pictureCaption2 = makeLabel(m_pictureArea, QString(), QRect(4, 286, 228, 22), "PictureCaption2");
  for (QLabel *l : {m_pictureCaption1, m_pictureCaption2})
    l->setAlignment(Qt::AlignCenter);
  m_pictureCaption1->setStyleSheet(QStringLiteral("font-weight: bold; color: #a02010; font-size: 15px;"));
  m_pictureCaption2->setStyleSheet(QStringLiteral("color: #203070;"));
  m_pictureArea->hide();

  // Status group.
  auto *status = makeGroup(this, QStringLiteral("测量状态"), QRect(6, 430, 240, 104), "StatusGroup");
  makeLabel(status, QStringLiteral("测量位置:"), QRect(8, 22, 82, 22));
  makeLabel(status, QStringLiteral("经络名称:"), QRect(8, 48, 82, 22));
  makeLabel(status, QStringLiteral("测定点名称:"), QRect(8, 74, 82, 22));
  m_positionText = makeLabel(status, QString(), QRect(92, 22, 142, 22), "PositionText");
  m_meridianText = makeLabel(status, QString(), QRect(92, 48, 142, 22), "MeridianText");
  m_pointText = makeLabel(status, QString(), QRect(92, 74, 142, 22), "PointText");
  for (QLabel *l : {m_positionText, m_meridianText, m_pointText})
    l->setStyleSheet(QStringLiteral("color: #0030a0; font-weight: bold;"));

  // Subject group.
  auto *subject = makeGroup(this, QStringLiteral("受测者资料"), QRect(252, 88, 236, 214), "SubjectGroup");
  const char *captions[6] = {"编号:", "姓名:", "生日:", "电话:", "年龄:", "性别:"};
  for (int i = 0; i < 6; ++i)
    makeLabel(subject, QString::fromUtf8(captions[i]), QRect(10, 24 + i * 31, 48, 24));
  m_custNo = makeLabel(subject, QString(), QRect(60, 24, 168, 24), "CustNoLabel");
  m_name = makeLabel(subject, QString(), QRect(60, 55, 168, 24), "NameLabel");
  m_birth = makeLabel(subject, QString(), QRect(60, 86, 168, 24), "BirthLabel");
  m_tel = makeLabel(subject, QString(), QRect(60, 117, 168, 24), "TelLabel");
  m_ageNow = makeLabel(subject, QString(), QRect(60, 148, 168, 24), "AgeNowLabel");
  for (QLabel *l : {m_custNo, m_name, m_birth, m_tel, m_ageNow})
    l->setStyleSheet(QStringLiteral("QLabel { background: #fbfbf4; border: 1px solid #bbb; padding-left: 4px; }"));
  m_sexButton = new QToolButton(subject);
  m_sexButton->setObjectName(QStringLiteral("SexButton"));
  m_sexButton->setGeometry(60, 177, 100, 28);
  m_sexButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  m_sexButton->setPopupMode(QToolButton::InstantPopup);
  auto *sexMenu = new QMenu(m_sexButton);
  sexMenu->setObjectName(QStringLiteral("SexMenu"));
  sexMenu->addAction(SexIcon(true), QStringLiteral("男  性"), this, [this] { SetMaleSubject(true); });
  sexMenu->addAction(SexIcon(false), QStringLiteral("女  性"), this, [this] { SetMaleSubject(false); });
  m_sexButton->setMenu(sexMenu);

  // Live displays.
  auto *live = new QFrame(this);
  live->setObjectName(QStringLiteral("LivePanel"));
  live->setFrameShape(QFrame::StyledPanel);
  live->setGeometry(494, 94, 492, 208);
  makeLabel(live, QStringLiteral("测量值:"), QRect(8, 12, 56, 24));
  m_valueDisplay = makeLed(live, QRect(62, 4, 126, 42), "ValueDisplay", 28);
  makeLabel(live, QStringLiteral("补偿值:"), QRect(198, 12, 56, 24));
  m_correctedDisplay = makeLed(live, QRect(252, 4, 126, 42), "CorrectedDisplay", 28);
  m_timeDisplay = makeLed(live, QRect(62, 52, 126, 34), "TimeDisplay", 22);
  m_timeDisplay->setText(QStringLiteral("off"));
  makeLabel(live, QStringLiteral("Time:"), QRect(8, 57, 56, 24));
  m_release = makeLabel(live, QString(), QRect(198, 52, 180, 34), "ReleaseCountdown");
  m_release->setAlignment(Qt::AlignCenter);
  m_release->setStyleSheet(QStringLiteral("QLabel { background: #301000; color: #ffb030; font-weight: bold; "
                                          "font-size: 20px; border: 2px inset #556; }"));
  m_release->hide();
  makeLabel(live, QStringLiteral("时间"), QRect(8, 94, 56, 18));
  makeLabel(live, QStringLiteral("测量值"), QRect(8, 116, 56, 18));
  makeLabel(live, QStringLiteral("补偿值"), QRect(8, 138, 56, 18));
  m_timeBar = makeBar(live, QRect(62, 96, 420, 16), "TimeBar", QColor(80, 160, 255));
  m_valueBar = makeBar(live, QRect(62, 118, 420, 16), "ValueBar", QColor(60, 220, 90));
  m_correctedBar = makeBar(live, QRect(62, 140, 420, 16), "CorrectedBar", QColor(255, 170, 40));

  makeLabel(live, QStringLiteral("测量灵敏度"), QRect(8, 172, 80, 24));
  m_sensitivitySpin = new QSpinBox(live);
  m_sensitivitySpin->setObjectName(QStringLiteral("SensitivitySpin"));
  m_sensitivitySpin->setGeometry(88, 170, 54, 26);
  m_sensitivitySpin->setRange(1, 50);
  m_sensitivityTrack = new QSlider(Qt::Horizontal, live);
  m_sensitivityTrack->setObjectName(QStringLiteral("SensitivityTrackBar"));
  m_sensitivityTrack->setGeometry(148, 170, 200, 26);
  m_sensitivityTrack->setRange(1, 50);
  m_sensitivityTrack->setTickPosition(QSlider::TicksBelow);
  m_sensitivityTrack->setTickInterval(5);
  m_sensitivityDisplay = makeLabel(live, QString(), QRect(354, 170, 40, 26), "SensitivityDisplay");
  m_sensitivityDisplay->setAlignment(Qt::AlignCenter);
  m_sensitivityDisplay->setStyleSheet(QStringLiteral("QLabel { background: #050a05; color: #36ff5a; font-weight: bold; }"));
  makeLabel(live, QStringLiteral("default (1.0)"), QRect(400, 170, 88, 26));
  connect(m_sensitivitySpin, &QSpinBox::valueChanged, this, &TSodec::setSensitivityPosition);
  connect(m_sensitivityTrack, &QSlider::valueChanged, this, &TSodec::setSensitivityPosition);

  m_soundButton = new QToolButton(live);
  m_soundButton->setObjectName(QStringLiteral("SoundButton"));
  m_soundButton->setToolTip(QStringLiteral("检测音效"));
  m_soundButton->setGeometry(392, 6, 44, 44);
  m_soundButton->setIconSize(QSize(32, 32));
  m_soundButton->setPopupMode(QToolButton::InstantPopup);
  auto *soundMenu = new QMenu(m_soundButton);
  soundMenu->setObjectName(QStringLiteral("SoundMenu"));
  for (int mode : {1, 2, 0})
    soundMenu->addAction(SoundModeIcon(mode), QString::fromUtf8(kSoundTexts[mode]), this,
                         [this, mode] { SetSoundMode(mode); });
  m_soundButton->setMenu(soundMenu);

  m_pictureStyleButton = new QToolButton(live);
  m_pictureStyleButton->setObjectName(QStringLiteral("PictureStyleButton"));
  m_pictureStyleButton->setToolTip(QStringLiteral("测定点图示"));
  m_pictureStyleButton->setGeometry(440, 6, 44, 44);
  m_pictureStyleButton->setIconSize(QSize(32, 32));
  m_pictureStyleButton->setPopupMode(QToolButton::InstantPopup);
  auto *styleMenu = new QMenu(m_pictureStyleButton);
  styleMenu->setObjectName(QStringLiteral("PictureStyleMenu"));
  for (int style = 1; style <= 3; ++style)
    styleMenu->addAction(PictureStyleIcon(style), QString::fromUtf8(kStyleTexts[style]), this,
                         [this, style] { SetPictureStyle(style); });
  m_pictureStyleButton->setMenu(styleMenu);

  // Balance chart.
  auto *chartGroup = makeGroup(this, QStringLiteral("测量平衡图"), QRect(252, 304, 734, 230), "ChartGroup");
  m_chart = new BalanceChartBox(chartGroup);
  m_chart->setObjectName(QStringLiteral("PaintBox1"));
  m_chart->move(3, 20);
  m_lamp = new RunLamp(chartGroup);
  m_lamp->setObjectName(QStringLiteral("StatusLamp"));
  m_lamp->move(8, 204);
  makeLabel(chartGroup, QStringLiteral("Sampling Rate:"), QRect(34, 202, 100, 22));
  m_sampleCount = makeLabel(chartGroup, QStringLiteral("0"), QRect(134, 202, 50, 22), "SampleCount");
  m_sampleCount->setStyleSheet(QStringLiteral("font-weight: bold; color: #006000;"));

  // Values panel.
  auto *values = new QFrame(this);
  values->setObjectName(QStringLiteral("ValuesPanel"));
  values->setFrameShape(QFrame::StyledPanel);
  values->setGeometry(6, 538, 980, 146);
  auto *cap1 = makeLabel(values, QStringLiteral("经络能量测定值"), QRect(8, 2, 130, 20));
  cap1->setStyleSheet(QStringLiteral("font-weight: bold; color: #103080;"));
  makeLabel(values, QStringLiteral("Meridian Energy Values"), QRect(140, 2, 200, 20));
  m_modePicture = makeLabel(values, QString(), QRect(852, 0, 120, 26), "ModePicture");
  auto *hand = makeLabel(values, QStringLiteral("手部"), QRect(8 + 74, 22, 6 * 74, 18));
  auto *foot = makeLabel(values, QStringLiteral("足部"), QRect(8 + 7 * 74, 22, 6 * 74, 18));
  for (QLabel *l : {hand, foot}) {
    l->setAlignment(Qt::AlignCenter);
    l->setStyleSheet(QStringLiteral("QLabel { background: #dfe6f2; border: 1px solid #aab; font-weight: bold; }"));
  }
  m_grid = new QTableWidget(3, 13, values);
  m_grid->setObjectName(QStringLiteral("ValuesGrid"));
  m_grid->setGeometry(8, 42, 13 * 74 + 2, 3 * 24 + 2);
  m_grid->horizontalHeader()->hide();
  m_grid->verticalHeader()->hide();
  m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_grid->setSelectionMode(QAbstractItemView::NoSelection);
  m_grid->setStyleSheet(QStringLiteral("QTableWidget { gridline-color: #99a; font-size: 14px; } "
                                       "QTableWidget::item:selected { background: #ffe070; color: #000; }"));
  for (int c = 0; c < 13; ++c)
    m_grid->setColumnWidth(c, 74);
  for (int r = 0; r < 3; ++r) {
    m_grid->setRowHeight(r, 24);
    for (int c = 0; c < 13; ++c) {
      auto *item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignCenter);
      if (r == 0 || c == 0) {
        item->setBackground(QColor(214, 220, 230));
        item->setFlags(Qt::ItemIsEnabled);
      } else {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      }
      m_grid->setItem(r, c, item);
    }
  }
  m_grid->item(1, 0)->setText(QStringLiteral("左  侧"));
  m_grid->item(2, 0)->setText(QStringLiteral("右  侧"));
  connect(m_grid, &QTableWidget::cellClicked, this, &TSodec::gridCellChosen);
  connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
    if (!m_settingCell)
      gridCellChosen(row, column);
  });

  makeLabel(values, QStringLiteral("Avg:"), QRect(8, 120, 34, 22));
  m_average = makeLabel(values, QString(), QRect(42, 120, 70, 22), "AverageLabel");
  makeLabel(values, QStringLiteral("测量日期:"), QRect(300, 120, 70, 22));
  m_date = makeLabel(values, QString(), QRect(370, 120, 110, 22), "DateLabel");
  makeLabel(values, QStringLiteral("测量时间:"), QRect(500, 120, 70, 22));
  m_time = makeLabel(values, QString(), QRect(570, 120, 110, 22), "TimeLabel");
  makeLabel(values, QStringLiteral("测量年龄:"), QRect(700, 120, 70, 22));
  m_age = makeLabel(values, QString(), QRect(770, 120, 80, 22), "AgeLabel");
  for (QLabel *l : {m_average, m_date, m_time, m_age})
    l->setStyleSheet(QStringLiteral("color: #0030a0; font-weight: bold;"));

  auto *bar = new QStatusBar(this);
  bar->setObjectName(QStringLiteral("StatusBar1"));
  bar->setGeometry(0, 686, 992, 20);
  bar->setSizeGripEnabled(false);
  m_statusText = new QLabel(bar);
  m_statusText->setObjectName(QStringLiteral("StatusText"));
  bar->addWidget(m_statusText, 3);
  m_pictureNotice = new QLabel(bar);
  m_pictureNotice->setObjectName(QStringLiteral("PictureNotice"));
  m_pictureNotice->setStyleSheet(QStringLiteral("color: #b02000;"));
  bar->addPermanentWidget(m_pictureNotice, 2);
}

// --- showing ----------------------------------------------------------------

void TSodec::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  if (!e->spontaneous())
    FormShow();
}

void TSodec::FormShow() {
  Measurement &m = m_ctx.CurrentMeasurement;
  updateSexButton();
  m_grid->setEnabled(false);
  m_grid->setSelectionMode(QAbstractItemView::NoSelection);
  m_grid->clearSelection();

  if (HasAnyPoint(m)) {
    m.HasData = true;
    RedrawGrid();
  } else {
    m.MeasurementDate = 0;
    m.HasData = false;
    RedrawGrid();
  }
  applyDataButtons(true);
  showSubject();

  m_positionText->clear();
  m_meridianText->clear();
  m_pointText->clear();
  m_pictureCaption1->clear();
  m_pictureCaption2->clear();
  m_valueDisplay->setText(QStringLiteral("0.0"));
  m_correctedDisplay->setText(QStringLiteral("0.0"));
  m_timeDisplay->setText(QStringLiteral("off"));
}

void TSodec::applyDataButtons(bool measureAndRead) {
  const Measurement &m = m_ctx.CurrentMeasurement;
  const bool whole = HasAllPoints(m);
  m_buttons[AnalysisButton]->setEnabled(whole);
  m_buttons[CompareButton]->setEnabled(whole);
  m_buttons[SaveButton]->setEnabled(m.HasData);
  m_buttons[ClearButton]->setEnabled(m.HasData);
  m_buttons[MeasureButton]->setEnabled(measureAndRead);
  m_buttons[ReadButton]->setEnabled(measureAndRead);
  m_buttons[InputButton]->setEnabled(measureAndRead);
  m_buttons[ExitButton]->setEnabled(true);
  m_buttons[StopButton]->setEnabled(false);
}

void TSodec::showSubject() {
  const Subject &s = m_ctx.CurrentSubject;
  m_custNo->setText(s.CustNo);
  m_name->setText(s.Name);
  m_tel->setText(s.Tel);
  if (IsDateGiven(s.BirthDate)) {
    m_birth->setText(ShortDateText(s.BirthDate));
    m_ageNow->setText(AgeText(s.BirthDate, ToDayNumber(m_ctx.clock().now())));
  } else {
    m_birth->clear();
    m_ageNow->clear();
  }
}

void TSodec::showModePicture() {
  m_modePicture->setPixmap(ModePicture(m_ctx.CurrentMeasurement.HighPotential, QSize(120, 26)));
  m_modePicture->setToolTip(m_ctx.CurrentMeasurement.HighPotential ? QStringLiteral("高电位") : QStringLiteral("标准电位"));
}

void TSodec::updateSexButton() {
  const bool male = m_ctx.CurrentSubject.MaleSubject;
  m_sexButton->setText(male ? QStringLiteral("男  性") : QStringLiteral("女  性"));
  m_sexButton->setIcon(SexIcon(male));
}

void TSodec::SetMaleSubject(bool male) {
  m_ctx.CurrentSubject.MaleSubject = male;
  updateSexButton();
}

// --- the grid ----------------------------------------------------------------

void TSodec::RedrawGrid() {
  Measurement &m = m_ctx.CurrentMeasurement;
  for (int p = 1; p <= 24; ++p) {
    const GridCell cell = CellOfPosition(p);
    m_grid->item(cell.row, cell.column)->setText(GridCellText(m.PointValue[m_ctx.model.PositionSlot[p]]));
  }
  if (m.HasData && m.MeasurementDate != 0) {
    m_date->setText(ShortDateText(m.MeasurementDate));
    m_time->setText(LongTimeText(m.MeasurementDate));
    m_age->setText(AgeText(m_ctx.CurrentSubject.BirthDate, m.MeasurementDate));
  } else {
    m_date->clear();
    m_time->clear();
    m_age->clear();
  }
  UpdateAverage(m);
  m_average->setText(AverageText(m.Average));
}

void TSodec::gridCellChosen(int row, int column) {
  const int p = PositionOfCell(row, column);
  if (p > 0 && m_run->AwaitingProbe())
    m_run->SelectPosition(p);
}

void TSodec::WritePointCell(const QString &text) {
  if (QTableWidgetItem *item = m_grid->item(m_pointRow, m_pointColumn))
    item->setText(text);
}

// --- the point on screen ------------------------------------------------------

void TSodec::ShowPosition(int p) {
  const int m = m_ctx.model.PositionMeridian[p];
  if (m < 1 || m > 12)
    return;
  const MeridianRecord &rec = m_ctx.model.MeridianTable[m];
  loadPicture();
  const bool left = SideOfPosition(p) == Side::Left;
  const bool foot = IsFootMeridian(m);
  m_positionText->setText(left ? (foot ? QStringLiteral("左  脚") : QStringLiteral("左  手"))
                               : (foot ? QStringLiteral("右  脚") : QStringLiteral("右  手")));
  m_meridianText->setText(rec.Channel + u' ' + rec.Name);
  m_pointText->setText(rec.SourcePoint);
  m_pictureCaption1->setText(rec.SourcePoint);
  m_pictureCaption2->setText(rec.EnglishName);
  const GridCell cell = CellOfPosition(p);
  m_pointRow = cell.row;
  m_pointColumn = cell.column;
  m_settingCell = true;
  m_grid->setCurrentCell(cell.row, cell.column);
  m_settingCell = false;
  m_pictureArea->show();
}

void TSodec::loadPicture() {
  if (!m_run->isRunning())
    return;
  const int slot = m_ctx.model.PositionSlot[m_run->CurrentPosition()];
  const QString name = PictureFileName(m_ctx.settings.PictureStyle, slot);
  const QString path = FindFileNoCase(m_ctx.dataFolder + QStringLiteral("Data/"), name);
  QPixmap pm;
  if (!pm.load(path)) {
    // The measurement goes on without the picture; the frame stays empty.
    m_picture->setPixmap(QPixmap());
    m_pictureNotice->setText(QStringLiteral("找不到测定点图示: ") + QStringLiteral("Data/") + name);
    return;
  }
  m_picture->setPixmap(pm);
  m_pictureNotice->clear();
}

// --- displays -------------------------------------------------------------------

QSize TSodec::chartSize() const { return m_chart->size(); }

void TSodec::DrawBalanceChart() { m_chart->drawFrame(BalanceChartSpan(m_ctx.settings), m_run->isRunning()); }

void TSodec::TraceLine(const QPoint &from, const QPoint &to) { m_chart->drawTrace(from, to); }

void TSodec::ShowAverage(const QString &text) { m_average->setText(text); }
void TSodec::ShowStatus(const QString &text) { m_statusText->setText(text); }

void TSodec::ShowReading(const QString &value, const QString &corrected) {
  m_valueDisplay->setText(value.trimmed());
  m_correctedDisplay->setText(corrected.trimmed());
}

void TSodec::ShowRemainingTime(const QString &text) { m_timeDisplay->setText(text.trimmed()); }
void TSodec::ShowProgress(int percent) { m_timeBar->setValue(percent); }

void TSodec::ShowValueBars(int valuePercent, int correctedPercent) {
  m_valueBar->setValue(valuePercent);
  m_correctedBar->setValue(correctedPercent);
}

void TSodec::ShowSampleCount(const QString &text) { m_sampleCount->setText(text); }

void TSodec::ShowReleaseCountdown(bool shown, const QString &text) {
  m_release->setText(text);
  m_release->setVisible(shown);
}

void TSodec::SetLamp(Lamp lamp) {
  ++m_blinkGeneration;
  switch (lamp) {
  case Lamp::Off: m_lamp->setColour(QColor(60, 60, 60)); break;
  case Lamp::Red: m_lamp->setColour(QColor(235, 30, 30)); break;
  case Lamp::DarkGreen: m_lamp->setColour(QColor(0, 110, 0)); break;
  case Lamp::BlinkingGreen:
    m_blinkOn = true;
    m_lamp->setColour(QColor(40, 255, 60));
    blink(m_blinkGeneration);
    break;
  }
}

void TSodec::blink(quint64 generation) {
  m_ctx.clock().callAfter(200, this, [this, generation] {
    if (generation != m_blinkGeneration)
      return;
    m_blinkOn = !m_blinkOn;
    m_lamp->setColour(m_blinkOn ? QColor(40, 255, 60) : QColor(20, 70, 20));
    blink(generation);
  });
}

void TSodec::ShowMeasurementTime(const QString &date, const QString &time, const QString &age) {
  m_date->setText(date);
  m_time->setText(time);
  m_age->setText(age);
}

// --- the run ----------------------------------------------------------------------

void TSodec::RunMeasurement() { m_run->RunMeasurement(); }

void TSodec::StopMeasurement() { m_run->RequestStop(); }

void TSodec::MeasurementCleared() {
  m_buttons[SaveButton]->setEnabled(false);
  m_buttons[ClearButton]->setEnabled(false);
  m_date->clear();
  m_time->clear();
  m_age->clear();
}

void TSodec::RunStarted() {
  m_grid->setEnabled(true);
  m_grid->setFocus();
  for (int k = 1; k <= 9; ++k)
    m_buttons[k]->setEnabled(k == StopButton);
  m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
}

void TSodec::RunEnded() {
  m_pictureArea->hide();
  m_grid->setSelectionMode(QAbstractItemView::NoSelection);
  m_grid->clearSelection();
  m_settingCell = true;
  m_grid->setCurrentCell(-1, -1);
  m_settingCell = false;
  applyDataButtons(true);
  m_positionText->clear();
  m_meridianText->clear();
  m_pointText->clear();
  m_release->hide();
  if (m_closeAfterRun) {
    m_closeAfterRun = false;
    QMetaObject::invokeMethod(this, &QDialog::close, Qt::QueuedConnection);
  }
}

// --- settings controls ----------------------------------------------------------

void TSodec::setSensitivityPosition(int position) {
  position = qBound(1, position, 50);
  if (m_syncingSensitivity)
    return;
  m_syncingSensitivity = true;
  m_sensitivitySpin->setValue(position);
  m_sensitivityTrack->setValue(position);
  m_syncingSensitivity = false;
  m_ctx.settings.Sensitivity = position / 10.0;
  m_sensitivityDisplay->setText(FormatNumber("%1.1f", m_ctx.settings.Sensitivity));
  m_run->SensitivityChanged();
}

void TSodec::SetSoundMode(int mode) {
  if (mode < 0 || mode > 2)
    mode = 1;
  m_ctx.settings.SoundMode = mode;
  m_soundButton->setIcon(SoundModeIcon(mode));
  m_soundButton->setToolTip(QStringLiteral("检测音效: ") + QString::fromUtf8(kSoundTexts[mode]).trimmed());
}

void TSodec::SetPictureStyle(int style) {
  if (style < 1 || style > 3)
    style = 1;
  m_ctx.settings.PictureStyle = style;
  m_pictureStyleButton->setIcon(PictureStyleIcon(style));
  m_pictureStyleButton->setToolTip(QStringLiteral("测定点图示: ") + QString::fromUtf8(kStyleTexts[style]).simplified());
  loadPicture();
}

// --- clearing and the other windows -------------------------------------------------

void TSodec::ClearData() {
  if (!m_ctx.ShowMessageBox(1, QStringLiteral("确定要清除窗口中的经络能量数据吗?\r\n"
                                              " (本功能只会清除窗口表格中的数据，不会影响已经储存的病历数据)")))
    return;
  ClearMeasurementValues(m_ctx.CurrentMeasurement);
  m_ctx.ResetAnalysisView();
  Subject &s = m_ctx.CurrentSubject;
  s.CustNo.clear();
  s.Name.clear();
  s.Addr.clear();
  s.Tel.clear();
  s.MaleSubject = true;
  s.BirthDate = 0;
  RedrawGrid();
  applyDataButtons(true);
  showSubject();
  updateSexButton();
  showModePicture();
}

bool TSodec::instrumentReady() {
  if (m_instrument->isConnected() && m_ctx.SystemReady)
    return true;
  m_ctx.ShowMessageBox(6, MeasurementRun::OfflineText());
  return false;
}

bool TSodec::openSubWindow(SubWindow w) {
  if (!m_factories[w])
    return false;
  // Hidden through its native window: hiding the dialog itself would end its
  // own modal loop.
  QWindow *native = windowHandle();
  if (native)
    native->hide();
  {
    std::unique_ptr<QDialog> window = m_factories[w](m_ctx, this);
    if (window)
      window->exec();
  }
  if (native)
    native->show();
  return true;
}

void TSodec::OpenAnalysis() {
  if (!instrumentReady())
    return;
  if (!openSubWindow(Analysis))
    return;
  if (m_ctx.CurrentMeasurement.PointsTaken > 11) {
    m_ctx.link().ReadMeasurementCounter(true);
    m_ctx.CurrentMeasurement.PointsTaken = 0;
  }
  FormShow();
}

void TSodec::OpenSave() {
  RedrawGrid();
  if (openSubWindow(Save))
    FormShow();
}

void TSodec::OpenRecords() {
  if (!instrumentReady())
    return;
  m_ctx.LoadNeedsConfirmation = false;
  if (!openSubWindow(Records))
    return;
  showModePicture();
  updateSexButton();
  FormShow();
}

void TSodec::OpenManualEntry() {
  if (!instrumentReady())
    return;
  if (!openSubWindow(ManualEntry))
    return;
  showModePicture();
  RedrawGrid();
  FormShow();
}

void TSodec::OpenCompare() {
  if (!instrumentReady())
    return;
  if (openSubWindow(Compare))
    FormShow();
}

// --- closing ------------------------------------------------------------------------

void TSodec::reject() { close(); }

void TSodec::closeEvent(QCloseEvent *e) {
  if (m_run->isRunning()) {
    // The run lives on this window's stack: it ends first, then the window closes.
    m_closeAfterRun = true;
    m_run->RequestStop();
    e->ignore();
    return;
  }
  // Sensitivity, sound mode and picture style outlive the window.
  m_ctx.WriteSettings();
  e->accept();
  QDialog::done(QDialog::Accepted);
}
