#include "playback/navigation.h"

#include <QAction>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "core/app.h"
#include "playback/load.h"
#include "songlist/indexdisplay.h"
#include "songlist/songlistwindow.h"
#include "ui/form1.h"
#include "ui/form2.h"

namespace {

std::function<double()>& randomDraw() {
  static std::function<double()> draw;
  return draw;
}

double drawUniform() {
  const double r = randomDraw() ? randomDraw()() : QRandomGenerator::global()->generateDouble();
  return std::clamp(r, 0.0, 1.0);
}

// The number of entries to move among; none while the entry count says 0.
int playableEntries(App& app) {
  if (app.form2().Label2->text().trimmed().toInt() == 0) return 0;
  return entryCount(app);
}

QString pathOf(App& app, int index) { return app.form2().List2->text(index); }

ListMoveResult playEntry(App& app, int index, const LoadOptions& options) {
  selectEntry(app, index);
  return LoadAndShowTrack(app, pathOf(app, index), options) ? ListMoveResult::Played
                                                            : ListMoveResult::NotOpened;
}

// Next (+1) or previous (-1), wrapping at both ends; from no selection next gives the
// first entry and previous the last.
ListMoveResult playNeighbour(App& app, int direction) {
  const int count = playableEntries(app);
  if (count == 0) return ListMoveResult::NoEntries;
  const int current = selectedEntry(app);
  const int index =
      direction > 0 ? (current + 1 >= count ? 0 : current + 1) : (current > 0 ? current - 1 : count - 1);
  return playEntry(app, index, LoadOptions::fromNeighbour());
}

// Draws an entry among those not yet tried and plays it with `options`. After a failed
// open it draws again among the rest while the ignore option is checked; with the option
// off, or once every entry has failed, the failed-open message and the no-track window end it.
ListMoveResult playRandomEntry(App& app, const LoadOptions& options) {
  std::vector<int> untried(playableEntries(app));
  if (untried.empty()) return ListMoveResult::NoEntries;
  std::iota(untried.begin(), untried.end(), 0);
  while (!untried.empty()) {
    const auto size = static_cast<double>(untried.size());
    const auto pick = std::min(untried.size() - 1, static_cast<size_t>(std::floor(size * drawUniform())));
    if (playEntry(app, untried[pick], options) == ListMoveResult::Played) return ListMoveResult::Played;
    untried[pick] = untried.back();
    untried.pop_back();
    if (!app.form1().mNotRandomEroor->isChecked()) break;
  }
  ShowFailedOpenMessage(app);
  ResetAfterFailedOpen(app);
  return ListMoveResult::NotOpened;
}

}  // namespace

ListMoveResult playListNeighbour(App& app, ListMove move) {
  switch (move) {
    case ListMove::Next:
      return playNeighbour(app, +1);
    case ListMove::Previous:
      return playNeighbour(app, -1);
    case ListMove::Random:
      return playRandomEntry(app, LoadOptions::fromRandomEnd());
  }
  return ListMoveResult::NoEntries;
}

void Form1_Command4_Click(App& app) { playNeighbour(app, -1); }

void Form1_Command7_Click(App& app) { playNeighbour(app, +1); }

void Form1_Command8_Click(App& app) {
  if (playRandomEntry(app, LoadOptions::fromRandomButton()) != ListMoveResult::Played) return;
  Form2_Label1_Change(app);  // the list position, which the track's display did not touch
  app.form2().hide();
}

void setRandomDraw(std::function<double()> draw) { randomDraw() = std::move(draw); }
