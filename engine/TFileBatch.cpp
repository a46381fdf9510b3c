#include "TFileBatch.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <functional>
#include <liburing.h>
#include <sys/uio.h>

namespace {

// The steps of one file, each a submission of its own, linked so that
// they run in turn and every one runs whatever the one before gave.
enum TStep : unsigned { OpenStep, ReadStep, ProbeStep, CloseStep, Steps };

// The probe's byte for each file follows the heads in the buffer.
constexpr std::size_t BufferBytes = TFileBatch::MaxFiles * (TFileBatch::HeadBytes + 1);

} // namespace

// An io_uring with a table of TFileBatch::MaxFiles descriptor slots that its
// opens fill and its closes empty without touching the process's own
// descriptors.
struct TFileBatch::TRing {
    // How Run went.
    enum class TRun {
        Done,     // every completion taken
        Failed,   // the system refused; nothing is in flight
        InFlight, // the system refused with steps in flight: their buffers must stay
    };

    io_uring Ring{};
    bool Up = false; // whether Ring was set up, and so must be taken down

    ~TRing() {
        if (Up)
            io_uring_queue_exit(&Ring);
    }

    // Sets up a ring of Entries submissions; false when the system has none
    // that does all a batch needs.
    bool Open(unsigned Entries) {
        io_uring_params Params{};
        // Submissions go on past one that fails, and completions are made
        // only when this thread asks for them; an older kernel knows
        // neither, and gets a plain ring.
        Params.flags =
            IORING_SETUP_SUBMIT_ALL | IORING_SETUP_SINGLE_ISSUER | IORING_SETUP_DEFER_TASKRUN;
        int Got = io_uring_queue_init_params(Entries, &Ring, &Params);
        if (Got == -EINVAL) {
            Params = {};
            Got = io_uring_queue_init_params(Entries, &Ring, &Params);
        }
        Up = Got == 0;
        return Up && (Params.features & IORING_FEAT_RW_CUR_POS) != 0 &&
               io_uring_register_files_sparse(&Ring, MaxFiles) == 0;
    }

    // Gives the system the Count submissions prepared and hands each
    // completion to Take, waiting until all Count have come.
    TRun Run(unsigned Count, const std::function<void(const io_uring_cqe &)> &Take) {
        unsigned Submitted = 0, Taken = 0;
        while (Taken < Count) {
            // Each call submits only what the system has not taken yet.
            const int Got = io_uring_submit_and_wait(&Ring, Count - Taken);
            // A refusal, or submissions left that the system does not take.
            if ((Got < 0 && Got != -EINTR && Got != -EAGAIN && Got != -EBUSY) ||
                (Got == 0 && Submitted < Count))
                return Submitted == Taken ? TRun::Failed : TRun::InFlight;
            Submitted += Got > 0 ? unsigned(Got) : 0;
            unsigned Head, Seen = 0;
            io_uring_cqe *Cqe;
            io_uring_for_each_cqe(&Ring, Head, Cqe) {
                Take(*Cqe);
                ++Seen;
            }
            io_uring_cq_advance(&Ring, Seen);
            Taken += Seen;
        }
        return TRun::Done;
    }
};

TFileBatch::TFileBatch(bool UseRing) {
    if (!UseRing)
        return;
    auto Ring = std::make_unique<TRing>();
    if (!Ring->Open(Steps * MaxFiles))
        return;
    FRing = std::move(Ring);
    FBuffer.reset(new char[BufferBytes]);
}

TFileBatch::~TFileBatch() = default;

void TFileBatch::Add(TFileAt File) {
    FFiles[FCount] = File;
    FWhole[FCount++] = false;
}

void TFileBatch::Clear() {
    std::fill(FWhole, FWhole + FCount, false);
    FCount = 0;
}

// File K is opened into slot K, read from the start up to HeadBytes,
// probed for one byte more, and closed. Reads do not wait: a page not in
// the cache, or a FIFO put in a file's place, fails the read at once rather
// than holding the whole batch. A read can then come back short without
// the file ending, so only the probe's 0 says that the head is the whole
// file.
void TFileBatch::Read() {
    if (!FRing || FCount == 0)
        return;
    io_uring *Ring = &FRing->Ring;
    char *Probes = FBuffer.get() + MaxFiles * HeadBytes;
    // The ring has room for a full batch, and a batch that ran left none of
    // its submissions behind: io_uring_get_sqe always has one to give.
    for (std::size_t K = 0; K < FCount; ++K) {
        const unsigned Slot = unsigned(K);
        const auto Link = [&](io_uring_sqe *Sqe, TStep Step, unsigned Flags) {
            io_uring_sqe_set_data64(Sqe, K * Steps + Step);
            // Hard links: the close runs even when the open or a read failed.
            io_uring_sqe_set_flags(Sqe, Step == CloseStep ? Flags : Flags | IOSQE_IO_HARDLINK);
        };
        io_uring_sqe *Open = io_uring_get_sqe(Ring);
        // O_NONBLOCK: a FIFO put in a file's place must not hang the open.
        // A slot is never one of the process's descriptors, so needs no
        // O_CLOEXEC (the system refuses it there).
        io_uring_prep_openat_direct(Open, FFiles[K].At, FFiles[K].Name, O_RDONLY | O_NONBLOCK, 0,
                                    Slot);
        Link(Open, OpenStep, 0);
        for (const TStep Step : {ReadStep, ProbeStep}) {
            io_uring_sqe *Read = io_uring_get_sqe(Ring);
            char *Into = Step == ReadStep ? FBuffer.get() + K * HeadBytes : Probes + K;
            // Offset -1: from where the file stands.
            io_uring_prep_read(Read, int(Slot), Into, Step == ReadStep ? unsigned(HeadBytes) : 1,
                               std::uint64_t(-1));
            Read->rw_flags = RWF_NOWAIT;
            Link(Read, Step, IOSQE_FIXED_FILE);
        }
        io_uring_sqe *Close = io_uring_get_sqe(Ring);
        io_uring_prep_close_direct(Close, Slot);
        Link(Close, CloseStep, 0);
    }
    int Results[MaxFiles][Steps];
    std::fill(&Results[0][0], &Results[0][0] + MaxFiles * Steps, -EIO);
    const TRing::TRun Run = FRing->Run(unsigned(Steps * FCount), [&](const io_uring_cqe &Cqe) {
        const std::uint64_t Data = io_uring_cqe_get_data64(&Cqe);
        if (Data < Steps * FCount)
            Results[Data / Steps][Data % Steps] = Cqe.res;
    });
    if (Run != TRing::TRun::Done) {
        // Reads still in flight may yet write to the buffer: it is left to
        // them, and this batch reads no more.
        if (Run == TRing::TRun::InFlight)
            static_cast<void>(FBuffer.release());
        FRing.reset();
        return;
    }
    for (std::size_t K = 0; K < FCount; ++K) {
        const int *Result = Results[K];
        // A FIFO put in a file's place reads as empty once it has no
        // writer: an empty head is left to the ordinary reading as well.
        FWhole[K] = Result[OpenStep] >= 0 && Result[ReadStep] > 0 && Result[ProbeStep] == 0;
        if (FWhole[K])
            FHeads[K] = {FBuffer.get() + K * HeadBytes, std::size_t(Result[ReadStep])};
    }
}
