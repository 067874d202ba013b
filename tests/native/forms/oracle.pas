{ The independent oracle for dialog files: Free Pascal's own conversions
  between the text form and the binary form.
    oracle bin  TEXT OUT     text form to bare stream
    oracle res  TEXT OUT     text form to resource header + stream
    oracle text BINARY OUT   bare stream to text form
    oracle restext RES OUT   resource header + stream to text form }
program oracle;
{$mode objfpc}{$H+}
uses Classes, SysUtils;
var
  source, target: TFileStream;
begin
  source := TFileStream.Create(ParamStr(2), fmOpenRead);
  target := TFileStream.Create(ParamStr(3), fmCreate);
  try
    if ParamStr(1) = 'bin' then ObjectTextToBinary(source, target)
    else if ParamStr(1) = 'res' then ObjectTextToResource(source, target)
    else if ParamStr(1) = 'text' then ObjectBinaryToText(source, target)
    else if ParamStr(1) = 'restext' then ObjectResourceToText(source, target)
    else Halt(2);
  finally
    target.Free;
    source.Free;
  end;
end.
