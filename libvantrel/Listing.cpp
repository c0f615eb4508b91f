// Every combination of levels, from the engine's listing; its question and progress handed to
// the caller.

#include <vantrel/design.hpp>

#include "libvantrel/DesignImpl.h"

#include "engine/AllCombinationsMatrix.h"
#include "engine/CAllCombinations.h"
#include "engine/EngineFatalError.h"

#include <optional>

struct vantrel::Listing::Impl {
    AllCombinationsMatrix matrix;
    std::vector<bool> removed;
};

namespace vantrel {

namespace {

// The listing's side of the engine: its questions to the caller, its refusals kept as the error.
class ListingReporter : public EngineReporter {
public:
    ListingReporter(const std::function<bool(const std::string&, int)>& confirm,
                    const std::function<bool(int, double)>& progress)
        : confirm_(confirm), progress_(progress)
    {
    }
    EngineAnswer showMessage(const EngineMessage& message) override
    {
        if (message.buttons == EngineButtons::YesNo) {
            const bool yes = confirm_ && confirm_(message.text, message.helpContext);
            if (!yes && !error)
                error = Error{Error::Kind::Declined, std::string()};
            return yes ? EngineAnswer::Yes : EngineAnswer::No;
        }
        if (!error)
            error = Error{message.text == "Infeasible constraints" ? Error::Kind::Infeasible : Error::Kind::TooLarge,
                          message.text, 0, 0, 0, message.helpContext};
        return EngineAnswer::Ok;
    }
    void showNWayProgress() override {}
    bool updateNWayProgress(double, int32_t, int32_t) override { return false; }
    void closeNWayProgress() override {}
    void showStatusProgress() override {}
    bool updateStatusProgress(int step, double fraction) override
    {
        cancelled = cancelled || (progress_ && !progress_(step, fraction));
        return cancelled;
    }
    void setBusyPointer(bool) override {}

    std::optional<Error> error;
    bool cancelled = false;

private:
    const std::function<bool(const std::string&, int)>& confirm_;
    const std::function<bool(int, double)>& progress_;
};

}  // namespace

Result<Listing> Design::AllCombinations(const ListingOptions& options,
                                        const std::function<bool(const std::string&, int)>& confirm,
                                        const std::function<bool(int, double)>& progress) const
{
    const Impl& design = *impl_;
    ListingReporter reporter(confirm, progress);
    CAllCombinations all(reporter);
    all.SetBytesPerShownCell(options.bytesPerShownCell);
    all.SetThousandsSeparator(options.thousandsSeparator);
    auto listing = std::make_shared<Listing::Impl>();
    try {
        if (!all.CalcAllPossible(design.tables, *design.constraints, listing->matrix, listing->removed))
            return reporter.error.value_or(Error{Error::Kind::Declined, std::string()});
    } catch (const EngineFatalError& fatal) {
        return Error{Error::Kind::Internal, fatal.what()};
    }
    return Listing(std::move(listing));
}

int64_t Listing::Rows() const { return impl_->matrix.NumRows(); }
int Listing::Factors() const { return impl_->matrix.NumFactors(); }
int Listing::LevelCount(int factor) const { return impl_->matrix.LevelCount(factor); }
int Listing::Level(int64_t row, int factor) const { return impl_->matrix.LevelCode(int32_t(row), factor) - 1; }
bool Listing::Removed(int64_t row) const { return impl_->removed[size_t(row)]; }
const std::string& Listing::Shown(int factor, int level) const { return impl_->matrix.Name(factor, level + 1); }

}  // namespace vantrel
