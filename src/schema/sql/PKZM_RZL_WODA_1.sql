CREATE PROCEDURE PKZM_RZL_WODA_1 (
NR_OPER INTEGER,
CYWIL INTEGER,
IDWODA INTEGER,
KWOTA NUMERIC(10,2),
DTP DATE,
DTK DATE)
RETURNS (
STK NUMERIC(10,2))
AS
DECLARE VARIABLE W_ID INTEGER;
DECLARE VARIABLE W_PROCENT NUMERIC(5,2);
DECLARE VARIABLE W_CENA NUMERIC(6,2);
DECLARE VARIABLE N_ID INTEGER;
DECLARE VARIABLE N_PROCENT NUMERIC(5,2);
DECLARE VARIABLE N_CENA NUMERIC(6,2);
DECLARE VARIABLE UDZIAL NUMERIC(10,2);
DECLARE VARIABLE RESZTA NUMERIC(10,2);
DECLARE VARIABLE SUMA NUMERIC(10,2);
DECLARE VARIABLE ILOSC INTEGER;
DECLARE VARIABLE ILE INTEGER;
BEGIN
  /* What the person was given out for this closing day is settled again from scratch. */
  DELETE FROM KZM_RZLWODA R WHERE R.NR_OPER = :NR_OPER AND R.DATA = :DTK;
  STK = 0;

  IF (CYWIL = 0) THEN
  BEGIN
    /* Soldiers: the water drink takes its share of the value first; without a water drink
       the share is 0. Prices and shares are those left by the last price refresh. */
    W_ID = NULL;
    W_PROCENT = 0;
    W_CENA = 0;
    SELECT N.ID, COALESCE(N.PROCENT, 0), COALESCE(N.CENA, 0) FROM KZM_NAPOJE N
    WHERE N.WODA = 1
    INTO :W_ID, :W_PROCENT, :W_CENA;
    UDZIAL = ROUND(W_PROCENT * KWOTA / 100, 2);
    IF (W_CENA <> 0 AND W_CENA <= UDZIAL) THEN
    BEGIN
      ILOSC = FLOOR(UDZIAL / W_CENA);
      STK = STK + UDZIAL - ILOSC * W_CENA;
      INSERT INTO KZM_RZLWODA (DATA, NR_OPER, IDNAPOJ, ILOSC, CENA, WARTOSC)
      VALUES (:DTK, :NR_OPER, :W_ID, :ILOSC, :W_CENA, :ILOSC * :W_CENA);
    END
    ELSE
      STK = STK + UDZIAL;

    /* The rest is split among the other drinks by their shares; what a share cannot buy
       and what the rounding of the shares leaves over is carried to the next month. */
    RESZTA = KWOTA - UDZIAL;
    SUMA = 0;
    FOR SELECT N.ID, COALESCE(N.PROCENT, 0), COALESCE(N.CENA, 0) FROM KZM_NAPOJE N
        WHERE N.WODA = 0
        ORDER BY N.ID
        INTO :N_ID, :N_PROCENT, :N_CENA
    DO
    BEGIN
      UDZIAL = ROUND(N_PROCENT * RESZTA / 100, 2);
      SUMA = SUMA + UDZIAL;
      IF (N_CENA <> 0 AND N_CENA <= UDZIAL) THEN
      BEGIN
        ILOSC = FLOOR(UDZIAL / N_CENA);
        STK = STK + UDZIAL - ILOSC * N_CENA;
        INSERT INTO KZM_RZLWODA (DATA, NR_OPER, IDNAPOJ, ILOSC, CENA, WARTOSC)
        VALUES (:DTK, :NR_OPER, :N_ID, :ILOSC, :N_CENA, :ILOSC * :N_CENA);
      END
      ELSE
        STK = STK + UDZIAL;
    END
    STK = STK + RESZTA - SUMA;
  END
  ELSE
  BEGIN
    /* Civilians: equal shares of the drinks meant for them that have ever been priced
       above 0 by the first day of the month. */
    SELECT COUNT(*) FROM KZM_NAPOJE N
    WHERE N.ROZLPC = 1
      AND EXISTS (SELECT 1 FROM KZM_CENNIK C
                  WHERE C.IDTR = N.ID AND C.OD_KIEDY <= :DTP AND C.KWOTA > 0)
    INTO :ILE;
    IF (ILE = 0) THEN
      STK = KWOTA;
    ELSE
    BEGIN
      UDZIAL = ROUND(CAST(KWOTA AS NUMERIC(18,4)) / ILE, 2);
      STK = KWOTA - UDZIAL * ILE;
      FOR SELECT N.ID,
                 COALESCE((SELECT FIRST 1 C.KWOTA FROM KZM_CENNIK C
                           WHERE C.IDTR = N.ID AND C.OD_KIEDY <= :DTP
                           ORDER BY C.OD_KIEDY DESC, C.ID DESC), 0)
          FROM KZM_NAPOJE N
          WHERE N.ROZLPC = 1
            AND EXISTS (SELECT 1 FROM KZM_CENNIK C
                        WHERE C.IDTR = N.ID AND C.OD_KIEDY <= :DTP AND C.KWOTA > 0)
          ORDER BY N.ID
          INTO :N_ID, :N_CENA
      DO
      BEGIN
        /* A counted drink whose price on the first day is 0 buys nothing: its share stays
           with the person and is carried over, so no part of the value is lost. */
        IF (N_CENA <= 0) THEN
          STK = STK + UDZIAL;
        ELSE IF (N_CENA <= UDZIAL) THEN
        BEGIN
          ILOSC = FLOOR(UDZIAL / N_CENA);
          STK = STK + UDZIAL - ILOSC * N_CENA;
          INSERT INTO KZM_RZLWODA (DATA, NR_OPER, IDNAPOJ, ILOSC, CENA, WARTOSC)
          VALUES (:DTK, :NR_OPER, :N_ID, :ILOSC, :N_CENA, :ILOSC * :N_CENA);
        END
        ELSE
          STK = STK + UDZIAL;
      END
    END
  END
  SUSPEND;
END;
