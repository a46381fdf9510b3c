#include "TFileBatch.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <linux/io_uring.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

// The steps of one file, each a submission of its own, linked so that
// they run in turn and every one runs whatever the one before gave.
enum TStep : unsigned { OpenStep, ReadStep, ProbeStep, CloseStep, Steps };

// The probe's byte for each file follows the heads in the buffer.
constexpr std::size_t BufferBytes = TFileBatch::MaxFiles * (TFileBatch::HeadBytes + 1);

} // namespace

// An io_uring: its descriptor, its two rings mapped in, and a table of
// TFileBatch::MaxFiles descriptor slots that its opens fill and its closes
// empty without touching the process's own descriptors.
struct TFileBatch::TRing {
    // How Run went.
    enum class TRun {
        Done,     // every completion taken
        Failed,   // the system refused; nothing is in flight
        InFlight, // the system refused with steps in flight: their buffers must stay
    };

    int Fd = -1;
    void *Rings = MAP_FAILED, *CqRings = MAP_FAILED, *SqeArea = MAP_FAILED;
    std::size_t RingsBytes = 0, CqRingsBytes = 0, SqeBytes = 0;
    unsigned *SqTail = nullptr, *SqMask = nullptr, *SqArray = nullptr;
    unsigned *CqHead = nullptr, *CqTail = nullptr, *CqMask = nullptr;
    io_uring_sqe *Sqes = nullptr;
    io_uring_cqe *Cqes = nullptr;
    unsigned Tail = 0; // the submission ring's tail, with the submissions pushed

    ~TRing() {
        if (SqeArea != MAP_FAILED)
            munmap(SqeArea, SqeBytes);
        if (CqRings != MAP_FAILED && CqRings != Rings)
            munmap(CqRings, CqRingsBytes);
        if (Rings != MAP_FAILED)
            munmap(Rings, RingsBytes);
        if (Fd >= 0)
            close(Fd);
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
        Fd = int(syscall(__NR_io_uring_setup, Entries, &Params));
        if (Fd < 0 && errno == EINVAL) {
            Params = {};
            Fd = int(syscall(__NR_io_uring_setup, Entries, &Params));
        }
        if (Fd < 0 || (Params.features & IORING_FEAT_RW_CUR_POS) == 0)
            return false;
        RingsBytes = Params.sq_off.array + Params.sq_entries * sizeof(unsigned);
        CqRingsBytes = Params.cq_off.cqes + Params.cq_entries * sizeof(io_uring_cqe);
        const bool OneMap = (Params.features & IORING_FEAT_SINGLE_MMAP) != 0;
        if (OneMap)
            RingsBytes = CqRingsBytes = std::max(RingsBytes, CqRingsBytes);
        const int Protection = PROT_READ | PROT_WRITE, Sharing = MAP_SHARED | MAP_POPULATE;
        Rings = mmap(nullptr, RingsBytes, Protection, Sharing, Fd, IORING_OFF_SQ_RING);
        if (Rings == MAP_FAILED)
            return false;
        CqRings = OneMap ? Rings
                         : mmap(nullptr, CqRingsBytes, Protection, Sharing, Fd, IORING_OFF_CQ_RING);
        SqeBytes = Params.sq_entries * sizeof(io_uring_sqe);
        SqeArea = mmap(nullptr, SqeBytes, Protection, Sharing, Fd, IORING_OFF_SQES);
        if (CqRings == MAP_FAILED || SqeArea == MAP_FAILED)
            return false;
        const auto At = [](void *Base, unsigned Offset) {
            return reinterpret_cast<unsigned *>(static_cast<char *>(Base) + Offset);
        };
        SqTail = At(Rings, Params.sq_off.tail);
        SqMask = At(Rings, Params.sq_off.ring_mask);
        SqArray = At(Rings, Params.sq_off.array);
        CqHead = At(CqRings, Params.cq_off.head);
        CqTail = At(CqRings, Params.cq_off.tail);
        CqMask = At(CqRings, Params.cq_off.ring_mask);
        Cqes = reinterpret_cast<io_uring_cqe *>(At(CqRings, Params.cq_off.cqes));
        Sqes = static_cast<io_uring_sqe *>(SqeArea);
        Tail = *SqTail;
        io_uring_rsrc_register Slots{};
        Slots.nr = MaxFiles;
        Slots.flags = IORING_RSRC_REGISTER_SPARSE;
        const long Registered =
            syscall(__NR_io_uring_register, Fd, IORING_REGISTER_FILES2, &Slots, sizeof Slots);
        return Registered == 0;
    }

    // The next submission, empty.
    io_uring_sqe &Push() {
        const unsigned Index = Tail++ & *SqMask;
        SqArray[Index] = Index;
        io_uring_sqe &Sqe = Sqes[Index];
        std::memset(&Sqe, 0, sizeof Sqe);
        return Sqe;
    }

    // Gives the system the Count submissions pushed and hands each
    // completion to Take, waiting until all Count have come.
    TRun Run(unsigned Count, const std::function<void(const io_uring_cqe &)> &Take) {
        __atomic_store_n(SqTail, Tail, __ATOMIC_RELEASE);
        unsigned Submitted = 0, Taken = 0;
        while (Taken < Count) {
            const long Got = syscall(__NR_io_uring_enter, Fd, Count - Submitted, Count - Taken,
                                     IORING_ENTER_GETEVENTS, nullptr, 0);
            // A refusal, or submissions left that the system does not take.
            if ((Got < 0 && errno != EINTR && errno != EAGAIN && errno != EBUSY) ||
                (Got == 0 && Submitted < Count))
                return Submitted == Taken ? TRun::Failed : TRun::InFlight;
            Submitted += Got > 0 ? unsigned(Got) : 0;
            unsigned Head = *CqHead;
            for (const unsigned End = __atomic_load_n(CqTail, __ATOMIC_ACQUIRE); Head != End;
                 ++Head, ++Taken)
                Take(Cqes[Head & *CqMask]);
            __atomic_store_n(CqHead, Head, __ATOMIC_RELEASE);
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

// Each file is opened into its own slot (K + 1 names slot K), read from the
// start up to HeadBytes, probed for one byte more, and closed. Reads do not
// wait: a page not in the cache, or a FIFO put in a file's place, fails
// the read at once rather than holding the whole batch. A read can then
// come back short without the file ending, so only the probe's 0 says that
// the head is the whole file.
void TFileBatch::Read() {
    if (!FRing || FCount == 0)
        return;
    char *Probes = FBuffer.get() + MaxFiles * HeadBytes;
    for (std::size_t K = 0; K < FCount; ++K) {
        const auto Push = [&](TStep Step, unsigned char Opcode) -> io_uring_sqe & {
            io_uring_sqe &Sqe = FRing->Push();
            Sqe.opcode = Opcode;
            Sqe.user_data = K * Steps + Step;
            // Hard links: the close runs even when the open or a read failed.
            if (Step != CloseStep)
                Sqe.flags = IOSQE_IO_HARDLINK;
            return Sqe;
        };
        io_uring_sqe &Open = Push(OpenStep, IORING_OP_OPENAT);
        Open.fd = FFiles[K].At;
        Open.addr = reinterpret_cast<std::uintptr_t>(FFiles[K].Name);
        // O_NONBLOCK: a FIFO put in a file's place must not hang the open.
        // A slot is never one of the process's descriptors, so needs no
        // O_CLOEXEC (the system refuses it there).
        Open.open_flags = O_RDONLY | O_NONBLOCK;
        Open.file_index = unsigned(K) + 1;
        for (const TStep Step : {ReadStep, ProbeStep}) {
            io_uring_sqe &Read = Push(Step, IORING_OP_READ);
            Read.fd = int(K);
            Read.flags |= IOSQE_FIXED_FILE;
            Read.addr = reinterpret_cast<std::uintptr_t>(
                Step == ReadStep ? FBuffer.get() + K * HeadBytes : Probes + K);
            Read.len = Step == ReadStep ? unsigned(HeadBytes) : 1;
            Read.off = ~std::uint64_t(0); // from where the file stands
            Read.rw_flags = RWF_NOWAIT;
        }
        Push(CloseStep, IORING_OP_CLOSE).file_index = unsigned(K) + 1;
    }
    int Results[MaxFiles][Steps];
    std::fill(&Results[0][0], &Results[0][0] + MaxFiles * Steps, -EIO);
    const TRing::TRun Run = FRing->Run(unsigned(Steps * FCount), [&](const io_uring_cqe &Cqe) {
        if (Cqe.user_data < Steps * FCount)
            Results[Cqe.user_data / Steps][Cqe.user_data % Steps] = Cqe.res;
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
