CREATE PROCEDURE PKZM_RWP_WRIT_ODCZYT_22 (
PRDPOS INTEGER,
PROKMC VARCHAR(6),
PKARTA VARCHAR(14),
PDATA DATE,
PCZAS TIME,
PSKAD VARCHAR(8))
RETURNS (
RET VARCHAR(20))
AS
DECLARE VARIABLE P_NR_OPER INTEGER;
DECLARE VARIABLE P_WSKW SMALLINT;
DECLARE VARIABLE P_RDPOS SMALLINT;
DECLARE VARIABLE P_WYNIK VARCHAR(2);
DECLARE VARIABLE P_ILE INTEGER;
DECLARE VARIABLE P_IDRWP INTEGER;
BEGIN
  P_NR_OPER = -1;
  P_WSKW = 0;
  P_WYNIK = '1';
  /* The reading's meal in the column's own type, so the count below can use the index. */
  P_RDPOS = PRDPOS;

  /* The card's owner (index KZM_KART2); with several owners any one of them. */
  FOR SELECT FIRST 1 K.NR_OPER FROM KZM_KART K
      WHERE K.NR_IDENT = :PKARTA
      INTO :P_NR_OPER
  DO
    P_WSKW = 1;

  /* The person's plan row of the day grants the meal or blocks it (index KZM_DANE0):
     breakfast for meal 1, lunch for 2, supper for any other. No plan row blocks. */
  IF (P_WSKW = 1) THEN
  BEGIN
    IF (PRDPOS = 1) THEN
    BEGIN
      IF (EXISTS (SELECT 1 FROM KZM_DANE D
                  WHERE D.NR_OPER = :P_NR_OPER AND D.DATA = :PDATA AND D.SN = 1)) THEN
        P_WYNIK = '0';
    END
    ELSE IF (PRDPOS = 2) THEN
    BEGIN
      IF (EXISTS (SELECT 1 FROM KZM_DANE D
                  WHERE D.NR_OPER = :P_NR_OPER AND D.DATA = :PDATA AND D.OB = 1)) THEN
        P_WYNIK = '0';
    END
    ELSE
    BEGIN
      IF (EXISTS (SELECT 1 FROM KZM_DANE D
                  WHERE D.NR_OPER = :P_NR_OPER AND D.DATA = :PDATA AND D.KO = 1)) THEN
        P_WYNIK = '0';
    END
  END

  /* A reading offered again (same card, day, second and source) is the one already stored:
     nothing is stored twice (index RWP_DATA_NR_IDENT_RDPOS; "+ 0" keeps the key's index out,
     which would walk every reading). */
  SELECT MIN(R.IDRWP + 0) FROM KZM_RWP R
  WHERE R.DATA = :PDATA AND R.NR_IDENT = :PKARTA AND R.RDPOS = :P_RDPOS
    AND R.CZAS = :PCZAS AND R.SKAD = :PSKAD
  INTO :P_IDRWP;

  /* Every other reading is kept, unknown cards and blocked meals included. */
  IF (P_IDRWP IS NULL) THEN
    INSERT INTO KZM_RWP (ROKMC, NR_IDENT, NR_OPER, RDPOS, DATA, WSKW, SKAD, CZAS)
    VALUES (:PROKMC, :PKARTA, :P_NR_OPER, :P_RDPOS, :PDATA, :P_WSKW, :PSKAD, :PCZAS)
    RETURNING IDRWP INTO :P_IDRWP;

  IF (P_WSKW = 1) THEN
  BEGIN
    /* Readings of this card for this meal on this day up to this one, this one included, so
       a reading offered again gets the count it got the first time (same index). */
    P_ILE = 0;
    SELECT COUNT(*) FROM KZM_RWP R
    WHERE R.DATA = :PDATA AND R.NR_IDENT = :PKARTA AND R.RDPOS = :P_RDPOS
      AND R.IDRWP + 0 <= :P_IDRWP
    INTO :P_ILE;
    RET = P_WYNIK || ':' || P_ILE || ':' || P_NR_OPER;
  END
  ELSE
    RET = '-1:-1:-1';
  SUSPEND;
END
