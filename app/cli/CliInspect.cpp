#include "CliPackage.h"
#include "PackageReader.h"

int CliInspect(const QStringList& args, CliContext& ctx) {
  if (args.size() != 1) {
    PrintUsageError("inspect", ctx);
    return 2;
  }
  TPackageReader reader;
  if (!reader.Open(args.front())) {
    ctx.err << reader.ErrorText() << '\n';
    return 1;
  }
  const TPackageIndex& index = reader.Index();
  ctx.out << "屏保名称 / saver name: " << DisplayName(index.SaverName) << '\n'
          << "安装程序大小 / stub size: " << index.StubSize << '\n'
          << "目录位置 / directory offset: " << index.DirectoryOffset << '\n'
          << "序号 / index\t名称 / name\t大小 / size\t位置 / offset\n";
  for (const TPackageItem& entry : index.Entries) {
    ctx.out << entry.EntryIndex << '\t' << DisplayName(entry.EntryName) << '\t' << entry.EntrySize << '\t'
            << entry.Offset << '\n';
  }
  return 0;
}
