// Undo and redo of the configuration image.
#include "ConfigHistory.h"

#include "config/ConfigDiff.h"

#include <QUndoCommand>

#include <algorithm>

namespace korvex {

namespace {

constexpr qsizetype MaxNameLength = 100;

class ConfigStep final : public QUndoCommand {
public:
    ConfigStep(ConfigBytes& image, const ConfigBytes& before, const ConfigBytes& after)
        : image_(image), before_(before), after_(after) {}

    // Only the bytes the action changed: whatever else the image holds now stays.
    void undo() override { Apply(before_); }
    void redo() override {
        // The push runs redo at once, but the action has already changed the image.
        if (pushed_)
            Apply(after_);
        pushed_ = true;
    }

    const ConfigBytes& before() const { return before_; }
    const ConfigBytes& after() const { return after_; }

private:
    void Apply(const ConfigBytes& side) {
        for (std::size_t i = 0; i < image_.size(); ++i)
            if (before_[i] != after_[i])
                image_[i] = side[i];
    }

    ConfigBytes& image_;
    const ConfigBytes before_;
    const ConfigBytes after_;
    bool pushed_ = false;
};

} // namespace

ConfigHistory::ConfigHistory(ConfigBytes& image) : image_(image), base_(image) {
    stack_.setUndoLimit(MaxSteps);
}

void ConfigHistory::Restart() {
    stack_.clear();
    base_ = image_;
}

bool ConfigHistory::Record() {
    if (image_ == base_)
        return false;
    stack_.push(new ConfigStep(image_, base_, image_));
    base_ = image_;
    return true;
}

void ConfigHistory::Rebase() {
    base_ = image_;
}

bool ConfigHistory::Undo() {
    Record(); // a change not yet taken is a step of its own, undone first
    if (!stack_.canUndo())
        return false;
    stack_.undo();
    base_ = image_;
    return true;
}

bool ConfigHistory::Redo() {
    if (Record() || !stack_.canRedo()) // a new change has ended what could be redone
        return false;
    stack_.redo();
    base_ = image_;
    return true;
}

QString ConfigHistory::UndoName(int language) const {
    return CanUndo() ? StepName(stack_.index() - 1, language) : QString();
}

QString ConfigHistory::RedoName(int language) const {
    return CanRedo() ? StepName(stack_.index(), language) : QString();
}

QString ConfigHistory::StepName(int index, int language) const {
    const auto* step = static_cast<const ConfigStep*>(stack_.command(index));
    const ConfigBytes& before = step->before();
    const ConfigBytes& after = step->after();
    // Only the first block that changed is put in words: a step over all 60 entries would
    // otherwise cost the words of every one of them on each hint.
    const auto first = std::mismatch(before.begin(), before.end(), after.begin());
    const auto at = static_cast<int>(first.first - before.begin());
    const int from = at >= ParamRegionOffset ? ParamRegionOffset : at / EntrySize * EntrySize;
    const int to = at >= ParamRegionOffset ? ConfigImageSize : from + EntrySize;
    ConfigBytes firstBlock = before;
    std::copy(after.begin() + from, after.begin() + to, firstBlock.begin() + from);
    const QStringList lines = DiffConfigurations(before, firstBlock, language);
    // An entry's block is its caption and indented lines: the caption and the first of them.
    QString name = lines.value(0);
    qsizetype used = 1;
    if (lines.size() > 1 && lines.at(1).startsWith(QLatin1Char(' '))) {
        name += QStringLiteral(": ") + lines.at(1).trimmed();
        used = 2;
    }
    if (lines.size() > used || firstBlock != after)
        name += QStringLiteral(" …");
    if (name.size() > MaxNameLength)
        name = name.left(MaxNameLength - 1) + QStringLiteral("…");
    return name;
}

} // namespace korvex
