// The dry run's document: the job's bytes go to the platform's dry-run file, which is
// discarded when the job fails or is abandoned, so the target only ever holds a whole job.
#include "cli/DryRunFile.h"
#include "cli/DryRunSpooler.h"

namespace nv::cli {

namespace {

class FileDocument final : public platform::IPrintDocument {
public:
    explicit FileDocument(std::unique_ptr<DryRunFile> file) : file_(std::move(file)) {}
    FileDocument(const FileDocument&) = delete;
    FileDocument& operator=(const FileDocument&) = delete;
    ~FileDocument() override { AbortDocPrinter(); }

    DWORD JobId() const override { return 0; }

    BOOL WritePrinter(const void* data, DWORD size, DWORD* written) override {
        if (written != nullptr) {
            *written = 0;
        }
        if (!file_) {
            return FALSE;
        }
        const auto* bytes = static_cast<const char*>(data);
        DWORD done = 0;
        while (done < size) {
            const std::size_t n = file_->Write(bytes + done, size - done);
            if (n == 0) {
                AbortDocPrinter();
                return FALSE;
            }
            done += static_cast<DWORD>(n);
        }
        if (written != nullptr) {
            *written = size;
        }
        return TRUE;
    }

    // A temporary file takes the target's place only when the whole job reached it.
    BOOL EndDocPrinter() override {
        if (!file_) {
            return FALSE;
        }
        bool finished = file_->Close();
        if (file_->HasTemporary()) {
            finished = finished && file_->ReplaceTarget();
            if (!finished) {
                file_->RemoveTemporary();
            }
        }
        file_.reset();
        return finished ? TRUE : FALSE;
    }

    BOOL AbortDocPrinter() override {
        if (file_) {
            file_->Close();
            if (file_->HasTemporary()) {
                file_->RemoveTemporary();
            }
            file_.reset();
        }
        return TRUE;
    }

private:
    std::unique_ptr<DryRunFile> file_; // null once the document ended
};

} // namespace

std::unique_ptr<platform::IPrintDocument> StartFileDocument(const std::string& path,
                                                            const std::string& inputPath,
                                                            platform::SpoolError* error) {
    DryRunOpenProblem problem = DryRunOpenProblem::none;
    std::unique_ptr<DryRunFile> file = OpenDryRunFile(path, inputPath, &problem);
    if (!file) {
        if (error != nullptr) {
            *error = problem == DryRunOpenProblem::folder   ? platform::SpoolError::folderUnwritable
                     : problem == DryRunOpenProblem::device ? platform::SpoolError::deviceUnwritable
                                                            : platform::SpoolError::other;
        }
        return nullptr;
    }
    return std::make_unique<FileDocument>(std::move(file));
}

} // namespace nv::cli
