#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Free Pascal's own reader and writer of component streams (its Classes unit's
// ObjectBinaryToText and ObjectTextToBinary), an implementation of the format that is
// independent of ours. A tiny converter is compiled once per test run.
class FreePascalForms
{
public:
    static FreePascalForms &Instance()
    {
        static FreePascalForms instance;
        return instance;
    }

    // Empty when the converter is ready, else why it is not.
    QString Problem() const { return m_problem; }

    // The text form Free Pascal prints for a binary stream; empty (and a test failure)
    // when it refuses the stream.
    QByteArray ToText(const QByteArray &binary) { return Convert("text", binary); }
    // The binary stream Free Pascal writes for a text form.
    QByteArray ToBinary(const QByteArray &text) { return Convert("binary", text); }

private:
    FreePascalForms()
    {
        const QString fpc = QStandardPaths::findExecutable(QStringLiteral("fpc"));
        if (fpc.isEmpty()) {
            m_problem = QStringLiteral("fpc is not installed (scripts/install-deps.sh installs it)");
            return;
        }
        QFile source(m_dir.filePath(QStringLiteral("formconv.pas")));
        source.open(QIODevice::WriteOnly);
        source.write(R"(program formconv;
{$mode objfpc}{$H+}
uses Classes, SysUtils;
var
  source, target: TFileStream;
begin
  source := TFileStream.Create(ParamStr(2), fmOpenRead);
  try
    target := TFileStream.Create(ParamStr(3), fmCreate);
    try
      if ParamStr(1) = 'text' then
        ObjectBinaryToText(source, target)
      else
        ObjectTextToBinary(source, target);
    finally
      target.Free;
    end;
  finally
    source.Free;
  end;
end.
)");
        source.close();
        QProcess compile;
        compile.setWorkingDirectory(m_dir.path());
        compile.setProcessChannelMode(QProcess::MergedChannels);
        compile.start(fpc, {QStringLiteral("-v0"), QStringLiteral("formconv.pas")});
        if (!compile.waitForFinished(120000) || compile.exitCode() != 0)
            m_problem = QStringLiteral("fpc failed: ") + QString::fromLocal8Bit(compile.readAll());
    }

    QByteArray Convert(const char *direction, const QByteArray &input)
    {
        if (!m_problem.isEmpty()) {
            ADD_FAILURE() << m_problem.toStdString();
            return {};
        }
        const QString in = m_dir.filePath(QStringLiteral("in"));
        const QString out = m_dir.filePath(QStringLiteral("out"));
        QFile file(in);
        file.open(QIODevice::WriteOnly);
        file.write(input);
        file.close();
        QFile::remove(out);
        QProcess run;
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(m_dir.filePath(QStringLiteral("formconv")), {QString::fromLatin1(direction), in, out});
        if (!run.waitForFinished(60000) || run.exitCode() != 0) {
            ADD_FAILURE() << "Free Pascal refused the stream: " << run.readAll().toStdString();
            return {};
        }
        QFile result(out);
        result.open(QIODevice::ReadOnly);
        return result.readAll();
    }

    QTemporaryDir m_dir;
    QString m_problem;
};
